#pragma once

#include <cxxabi.h>
#include <QApplication>
#include <exception>
#include <string>

#include "core/message_sink.h"

// The message that an event handler broke off with an unexpected fault: what
// the fault says, when it says anything.
std::string EventFaultText(const std::string& what);

// Reports a fault that escaped an event handler: to standard error, and to
// `messages` when given. While one report is on show, a further fault is only
// written to standard error, so that faults cannot pile up message boxes.
void ReportEventFault(const std::string& what, MessageSink* messages);

// Delivers an event through `deliver`. An exception that escapes it ends
// here, reported, and the event counts as not handled: the command it broke
// off is abandoned, the program and the user's data live on.
template <typename Deliver>
bool DeliverReportingFaults(Deliver&& deliver, MessageSink* messages) {
    try {
        return deliver();
    } catch (abi::__forced_unwind&) {
        throw;  // a thread being cancelled must unwind
    } catch (const std::exception& fault) {
        ReportEventFault(fault.what(), messages);
    } catch (...) {
        ReportEventFault({}, messages);
    }
    return false;
}

// The program's application: every event is delivered through
// DeliverReportingFaults, so that a fault in one handler (a grid's contract
// check, say) never takes the unsaved edits down with the program.
class ProgramApplication : public QApplication {
  public:
    ProgramApplication(int& argc, char** argv);

    // Where faults are reported; until it is set, only to standard error.
    void SetFaultMessages(MessageSink* messages) { messages_ = messages; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    MessageSink* messages_ = nullptr;
};
