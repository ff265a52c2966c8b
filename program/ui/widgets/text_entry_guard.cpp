#include "ui/widgets/text_entry_guard.h"

#include <QLineEdit>

#include "ui/platform/platform_services.h"

TextEntryGuard::TextEntryGuard(QLineEdit& box, PlatformServices& services,
                               const TextEntryRule& rule)
    : QValidator(&box), box_(box), services_(services), rule_(rule) {
    // The box would cut a long paste before the rule could tell.
    box_.setMaxLength(32767);
    box_.setValidator(this);
    connect(&box_, &QLineEdit::textEdited, this, &TextEntryGuard::ReportNote);
    connect(&box_, &QLineEdit::inputRejected, this, &TextEntryGuard::ReportNote);
    // An edit has told its note by now; a text set by the program tells none.
    connect(&box_, &QLineEdit::textChanged, this, [this] { note_.clear(); });
}

QValidator::State TextEntryGuard::validate(QString& input, int& pos) const {
    // A text the rules leave as it is keeps the note of the check before: the
    // box checks the text it was given in place of an edit once more.
    TextEntry entry =
        TakeTextEntry(input.toStdString(), rule_, pos < 0 ? 0 : static_cast<size_t>(pos));
    if (!entry.refused.empty()) {
        note_ = entry.note;
        return Invalid;
    }
    QString taken = QString::fromStdString(entry.text);
    if (taken != input) {
        note_ = entry.note;
        input = taken;
        // Every character the rules keep is a single UTF-16 unit.
        pos = static_cast<int>(entry.cursor);
    }
    return Acceptable;
}

bool TextEntryGuard::Offer(const QString& text) {
    QString taken = text;
    int pos = static_cast<int>(taken.size());
    note_.clear();
    const bool refused = validate(taken, pos) == Invalid;
    std::string note = note_;
    if (!refused)
        box_.setText(taken);
    note_ = note;
    ReportNote();
    return !refused;
}

void TextEntryGuard::ReportNote() {
    if (note_.empty())
        return;
    std::string note;
    note.swap(note_);
    services_.Refuse(note);
}

TextEntryGuard* GuardTextEntry(QLineEdit& box, PlatformServices& services,
                               const TextEntryRule& rule) {
    return new TextEntryGuard(box, services, rule);
}
