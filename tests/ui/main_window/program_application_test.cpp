#include "ui/main_window/program_application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "core/project_file.h"
#include "ui/example_boring.h"
#include "ui/main_window/main_window_support.h"

namespace {

// The event of a handler that throws, as a grid does on a contract fault.
// Qt delivers a user event without guards of its own; a fault in a key
// handler would also skip the release of the small guard pointer Qt keeps
// for key events, which the leak checker of the sanitizer build would count.
const QEvent::Type kFaultyEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Throws from its handler of kFaultyEvent `throwsLeft` times, then takes it.
class FaultyFilter : public QObject {
  public:
    explicit FaultyFilter(int throwsLeft) : throwsLeft_(throwsLeft) {}
    int taken = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != kFaultyEvent)
            return false;
        if (throwsLeft_ > 0) {
            --throwsLeft_;
            throw std::out_of_range("grid cell outside the grid");
        }
        ++taken;
        return true;
    }

  private:
    int throwsLeft_;
};

// The event delivered as the program's application delivers every event.
bool Deliver(QObject* receiver, MessageSink* messages) {
    QEvent event(kFaultyEvent);
    return DeliverReportingFaults([&] { return qApp->notify(receiver, &event); }, messages);
}

TEST(EventFaults, AreReportedWithAMessageAndTheEventCountsAsNotHandled) {
    EnsureQtApplication();
    FakePlatformServices services;
    QLineEdit box;
    FaultyFilter filter(1);
    box.installEventFilter(&filter);

    EXPECT_FALSE(Deliver(&box, &services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(services.messages[0].title, kProgramTitle);
    EXPECT_EQ(services.messages[0].text, EventFaultText("grid cell outside the grid"));
    EXPECT_NE(services.messages[0].text.find("保存"), std::string::npos);

    // The next event is delivered as ever.
    EXPECT_TRUE(Deliver(&box, &services));
    EXPECT_EQ(filter.taken, 1);
    EXPECT_EQ(services.messages.size(), 1u);
}

TEST(EventFaults, AnExceptionOfAnyKindIsCaughtAndWithoutASinkOnlyLogged) {
    EnsureQtApplication();
    FakePlatformServices services;
    EXPECT_FALSE(DeliverReportingFaults([]() -> bool { throw 42; }, &services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, EventFaultText(""));
    EXPECT_FALSE(DeliverReportingFaults([]() -> bool { throw std::runtime_error("x"); }, nullptr));
    EXPECT_TRUE(DeliverReportingFaults([] { return true; }, &services));
    EXPECT_EQ(services.messages.size(), 1u);
}

// A fault while the report of another is on show (the message box runs its
// own event loop) is logged, not stacked as a second box.
TEST(EventFaults, AFaultDuringTheReportOfAnotherOpensNoSecondBox) {
    struct ReentrantSink : MessageSink {
        int shown = 0;
        MessageAnswer ShowMessage(const std::string&, MessageIcon, const std::string&,
                                  MessageButtons) override {
            ++shown;
            DeliverReportingFaults([]() -> bool { throw std::logic_error("again"); }, this);
            return MessageAnswer::Ok;
        }
    } sink;
    EXPECT_FALSE(DeliverReportingFaults([]() -> bool { throw std::logic_error("first"); }, &sink));
    EXPECT_EQ(sink.shown, 1);
    // The guard is released: a later fault is reported again.
    DeliverReportingFaults([]() -> bool { throw std::logic_error("later"); }, &sink);
    EXPECT_EQ(sink.shown, 2);
}

// After the fault the window works on: the edits are kept and saved.
TEST_F(MainWindowTest, AfterAFaultInAHandlerTheUserGoesOnAndSaves) {
    QTemporaryDir dir;
    Load(ExampleBoring());
    ShowWindow();
    form->tabShow->setCurrentIndex(1);
    form->txtKasokudo->setFocus();
    form->txtKasokudo->setText(QStringLiteral("321"));
    FaultyFilter filter(1);
    form->txtKasokudo->installEventFilter(&filter);

    EXPECT_FALSE(Deliver(form->txtKasokudo, &services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->txtKasokudo->text(), "321");

    const std::string path = dir.filePath("site.qmf").toStdString();
    services.fileAnswers = {path};
    EXPECT_TRUE(form->mnuFileSaveAs_Click());
    Document back;
    ASSERT_EQ(ReadProjectFile(path, back, services), kProjectFileOk);
    EXPECT_DOUBLE_EQ(back.calcConditions.surfaceAccel, 321);
}

}  // namespace
