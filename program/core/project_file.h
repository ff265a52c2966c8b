#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/file_io.h"
#include "core/message_sink.h"

// The project file (.qmf): one boring as CP932 value lines with CR LF. Versions
// 1.0, 1.5 and 1.6 are read; 1.6 is written.

// Results of ReadProjectFile and WriteProjectFile.
enum ProjectFileResult : int {
    kProjectFileOk = 0,
    kNotAProjectFile = 1,      // read only
    kUnknownVersion = 2,       // read only
    kProjectFileNotFound = 3,  // read only
    kProjectFileError = 9,
};

// Why the document cannot be written into a project file that reads back
// (more rows than the file's counts hold, a switch outside its field, a date
// the file cannot store), in words for the user; empty when it can be.
std::string UnstorableReason(const Document& doc);

// What a write of the project file came to: why it failed, whether the
// file's group was kept, and what the file holds when it was written.
struct ProjectWrite {
    WriteResult result;
    ReplaceNote replaced;
    FileContent content;
};

// Writes the document in the version 1.6 layout. The file is replaced whole
// or not at all, keeping its group and mode where it can (see
// WriteFileReplacing). Shows nothing; returns kProjectFileOk or
// kProjectFileError, and tells the rest in `outcome` when given.
int WriteProjectFile(const std::string& path, const Document& doc, ProjectWrite* outcome = nullptr);

// The message for a project file that could not be written: it names the
// file and says why and what the user can do (WriteFailureReason).
std::string ProjectWriteFailedText(const std::string& path, const WriteResult& result);

// The note after a save that could not keep the file's group.
std::string GroupNotKeptText(const std::string& path, const ReplaceNote& note);

// The question before a save replaces a file that changed on disk since it
// was opened or last saved.
std::string ChangedOnDiskQuestion(const std::string& path);

// Reads the project file into the document and returns a ProjectFileResult.
// Only a regular file of at most kMaxTextFileBytes (file_io.h) is read; a
// device, a FIFO or a larger file is a read error. On failure it shows its
// message through `messages` and leaves the document exactly as it was. What
// the file's version does not store keeps its value.
// The stored calculation results are ignored and the calculation arrays are
// emptied: the caller recalculates after a successful read. The current file
// name and folder are the caller's to set.
//
// `unreadableTexts`, when given, receives the names of the texts that held
// bytes that are not CP932 and were read with "?" in their place ("工事名",
// "3行目の土質名"); the caller tells the user (UnreadableTextsMessage).
// `content`, when given, receives what the file held as it was read, for the
// question before a save replaces a file that changed on disk.
int ReadProjectFile(const std::string& path, Document& doc, MessageSink& messages,
                    std::vector<std::string>* unreadableTexts = nullptr,
                    FileContent* content = nullptr);

// The file's bytes (CP932, CR LF) for the document in the version 1.6 layout.
std::string ProjectFileBytes(const Document& doc);

// Reads project-file bytes into `doc` as ReadProjectFile does, without a
// message and without the file system: the result is kProjectFileOk,
// kNotAProjectFile, kUnknownVersion or kProjectFileError, and on failure `doc`
// is unchanged.
int ParseProjectFile(std::string_view bytes, Document& doc,
                     std::vector<std::string>* unreadableTexts = nullptr);

// The message after opening a file whose texts `unreadableTexts` could not be
// read whole.
std::string UnreadableTextsMessage(const std::vector<std::string>& unreadableTexts,
                                   const std::string& path);
