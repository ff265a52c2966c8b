#pragma once

#include <string>

// How the core reports to the user without knowing about windows: the program
// implements these over its message boxes and its calculation label; tests
// record what was said.

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The program's message box title.
inline constexpr const char* kProgramTitle = "Vekt／Quilmorn2008";

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                                      const std::string& title = kProgramTitle,
                                      MessageButtons buttons = MessageButtons::Ok) = 0;
};

// The main window's calculation message label; it keeps its text until the
// next message replaces it.
class CalcMessageSink {
  public:
    virtual ~CalcMessageSink() = default;
    virtual void SetCalcMessage(const std::string& text) = 0;
};
