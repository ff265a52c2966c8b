#pragma once

#include <string>

#include "core/date.h"
#include "core/document.h"
#include "core/file_io.h"
#include "core/message_sink.h"
#include "core/quorlith_binding.h"

// The results file (comma-separated text, CP932, CR LF) that is written beside
// every saved project file.

// The results file of a project file: the path up to its file name's last ".",
// then "CSV" ("/data/site.qmf" gives "/data/site.CSV"); a file name without
// a "." gets ".CSV" appended, and so does one whose extension is already
// "CSV" in any case ("site.csv" gives "site.csv.CSV"), so that the results
// never replace the project file. A "." in a folder name is not an extension.
std::string ResultCsvPath(const std::string& projectPath);

// The file's bytes for the document as it was last calculated, dated `today`.
std::string ResultCsvBytes(const Document& doc, const Date& today);

// Recalculates the document (its messages go to `calcMessages`) and writes the
// results to `path`, replacing the file whole or not at all. A failure is
// reported through `messages` only.
void SaveResultCsv(const std::string& path, Document& doc, MessageSink& messages,
                   CalcMessageSink& calcMessages,
                   QuorlithLibrary& library = ProgramQuorlithLibrary());

// The message after the results file could not be written: it names the
// file, why and what the user can do.
std::string ResultCsvWriteFailedText(const std::string& path, const WriteResult& result);

// What is found at the path the results are to be written to.
enum class ResultsTarget {
    Free,         // no file of that name
    Results,      // a results file, which the new results replace
    Other,        // some other file (or a folder), which is kept
    NameTooLong,  // the name cannot exist on this file system
    Unreadable,   // the path could not be looked at (see `error`)
};

// Looks at `path`; for Unreadable, `error` (when given) receives the errno.
ResultsTarget LookAtResultsTarget(const std::string& path, int* error = nullptr);

// SaveResultCsv to the results file of a saved project file
// (ResultCsvPath). A file there that is not a results file (a project file
// named "site.CSV" beside "site.qmf") is kept: the document is recalculated,
// no results are written, and a message names both files and why; so it does
// when the results file's name is too long or its path cannot be looked at.
void SaveResultCsvBeside(const std::string& projectPath, Document& doc, MessageSink& messages,
                         CalcMessageSink& calcMessages,
                         QuorlithLibrary& library = ProgramQuorlithLibrary());
