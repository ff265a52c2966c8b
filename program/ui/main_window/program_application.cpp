#include "ui/main_window/program_application.h"

#include <cstdio>

namespace {

bool reporting = false;

}  // namespace

std::string EventFaultText(const std::string& what) {
    std::string text =
        "予期しないエラーが発生したため、この操作を中止しました。\r\n"
        "作業はこのまま続けられます。念のため、データを保存してください。";
    if (!what.empty())
        text += "\r\n\r\n詳細: " + what;
    return text;
}

void ReportEventFault(const std::string& what, MessageSink* messages) {
    std::fprintf(stderr, "Quilmorn2008: an event handler failed: %s\n",
                 what.empty() ? "(unknown exception)" : what.c_str());
    if (messages == nullptr || reporting)
        return;
    reporting = true;
    // The message box runs its own event loop; a fault in it still ends here.
    try {
        messages->ShowMessage(EventFaultText(what), MessageIcon::Critical);
    } catch (abi::__forced_unwind&) {
        reporting = false;
        throw;
    } catch (...) {
        std::fprintf(stderr, "Quilmorn2008: the fault could not be reported\n");
    }
    reporting = false;
}

ProgramApplication::ProgramApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverReportingFaults([&] { return QApplication::notify(receiver, event); }, messages_);
}
