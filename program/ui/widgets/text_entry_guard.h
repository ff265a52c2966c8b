#pragma once

#include <QValidator>
#include <string>

#include "core/text_entry.h"

class QLineEdit;
class PlatformServices;

// Keeps a text box to the rules of a text that reaches a file (TakeTextEntry),
// as the user types, pastes or drops text into it: an edit that brings
// characters CP932 cannot hold is refused, the box keeps its text and a note
// names the characters; TAB and line breaks become blanks, a double quote of a
// quoted value becomes "＂" and a text past the limit is cut, with a note, so
// that the box always shows what the file will hold. The rule's limit takes
// the place of the box's own maximum length, which would cut silently.
class TextEntryGuard : public QValidator {
    Q_OBJECT

  public:
    TextEntryGuard(QLineEdit& box, PlatformServices& services, const TextEntryRule& rule);

    State validate(QString& input, int& pos) const override;

    // Puts `text` into the box in place of its whole text, under the same
    // rules as a paste; false when it was refused (the box keeps its text).
    bool Offer(const QString& text);

  private:
    void ReportNote();

    QLineEdit& box_;
    PlatformServices& services_;
    TextEntryRule rule_;
    // The note of the last check, told once the box has taken or refused the
    // edit.
    mutable std::string note_;
};

// Gives the box a TextEntryGuard with the rule; the box owns it.
TextEntryGuard* GuardTextEntry(QLineEdit& box, PlatformServices& services,
                               const TextEntryRule& rule = {});
