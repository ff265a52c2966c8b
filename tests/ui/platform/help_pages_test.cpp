// The help pages name the controls as the windows show them: every 「…」
// of a page is the caption of a control, tab, menu item or window that the
// program really builds.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTableWidget>

#include "core/program_folder.h"
#include "core/soil_names.h"
#include "output/clsPrinter.h"
#include "output/fake_printer.h"
#include "output/printer_setup_dialog.h"
#include "sheets/sheet_composition.h"
#include "support/recording_sinks.h"
#include "ui/dialogs/fdlgVersion.h"
#include "ui/dialogs/frmHF.h"
#include "ui/dialogs/frmKihon.h"
#include "ui/dialogs/frmOption.h"
#include "ui/dialogs/frmPreview.h"
#include "ui/dialogs/frmPreviewSet.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/dialogs/frmYohaku.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/main_window_support.h"
#include "ui/platform/desktop_helpers.h"

namespace {

// A caption as the screen shows it: without the access key's "&", blanks
// run together as a browser shows them in a page.
QString Shown(QString caption) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(u'&');
    caption.replace(u'\x01', u'&');
    return caption.simplified();
}

void AddCaptions(QWidget& window, QSet<QString>& captions) {
    auto add = [&captions](const QString& text) {
        if (!text.trimmed().isEmpty())
            captions.insert(Shown(text));
    };
    add(window.windowTitle());
    for (auto* button : window.findChildren<QAbstractButton*>())
        add(button->text());
    for (auto* label : window.findChildren<QLabel*>())
        add(label->text());
    for (auto* group : window.findChildren<QGroupBox*>())
        add(group->title());
    for (auto* tabs : window.findChildren<QTabBar*>())
        for (int i = 0; i < tabs->count(); ++i)
            add(tabs->tabText(i));
    for (auto* menu : window.findChildren<QMenu*>()) {
        add(menu->title());
        for (QAction* action : menu->actions())
            add(action->text());
    }
    for (auto* grid : window.findChildren<QTableWidget*>())
        for (int col = 0; col < grid->columnCount(); ++col)
            if (QTableWidgetItem* head = grid->horizontalHeaderItem(col))
                add(head->text());
}

struct Quote {
    QString page;
    QString name;
};

QDir HelpSource() {
    return QDir(QStringLiteral(QM_TEST_DATA_DIR "/../../program/resources/help"));
}

std::vector<Quote> PageQuotes() {
    QDir folder = HelpSource();
    std::vector<Quote> quotes;
    const QStringList pages = folder.entryList({QStringLiteral("*.htm")}, QDir::Files);
    EXPECT_FALSE(pages.isEmpty()) << folder.path().toStdString();
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression quoted(QStringLiteral("「([^」]*)」"));
    for (const QString& name : pages) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        QString text = QString::fromUtf8(file.readAll()).remove(tag);
        for (const QRegularExpressionMatch& m : quoted.globalMatch(text))
            quotes.push_back({name, m.captured(1).simplified()});
    }
    return quotes;
}

class HelpPagesTest : public MainWindowTest {
  protected:
    // Every window of the program, the main window first.
    template <typename Visit>
    void ForEveryWindow(Visit visit) {
        Settings dialogSettings;
        dialogSettings.headerFooterCodes = HeaderFooterCodes();
        SetDefaultSoilNames(dialogSettings);
        FakePrintSystem printSystem;
        RecordingMessageSink printerMessages;
        clsPrinter printer(printSystem, printerMessages);
        ProgramInfo program;
        SheetCanvases canvases;
        frmKihon basicData(doc, services);
        frmOption options(dialogSettings, doc, services);
        frmYohaku pageSetup(
            dialogSettings, doc, program, [&]() -> clsPrinter& { return printer; }, services);
        frmHF chooser(
            HeaderFooterCodes(), [](int, int) { return std::string(); }, services);
        frmPreviewSet printItems(doc, services);
        frmSNDef soilNames(dialogSettings, services);
        frmPreview preview(
            doc, dialogSettings, canvases, program, [&]() -> clsPrinter& { return printer; },
            services, PrintItemFlags{});
        fdlgVersion version(program);
        PrinterSetupDialog printerSetup({QStringLiteral("PDF")}, QStringLiteral("PDF"),
                                        QPageSize::A4, QPageLayout::Portrait,
                                        [](const QString&) { return QList<QPageSize>(); });
        for (QWidget* window : std::initializer_list<QWidget*>{
                 form.get(), &basicData, &options, &pageSetup, &chooser, &printItems, &soilNames,
                 &preview, &version, &printerSetup})
            visit(*window);
    }
};

// The pages a page links to (href="name.htm", anchors aside).
QStringList LinksOf(const QString& page) {
    QFile file(HelpSource().filePath(page));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)"));
    QStringList links;
    for (const QRegularExpressionMatch& m : href.globalMatch(QString::fromUtf8(file.readAll())))
        links.append(m.captured(1));
    return links;
}

}  // namespace

TEST_F(HelpPagesTest, EveryWindowsF1TopicIsAPageOfItsOwn) {
    const QDir folder = HelpSource();
    QSet<QString> named;
    ForEveryWindow([&](QWidget& window) {
        const std::string name = window.objectName().toStdString();
        named.insert(window.objectName());
        bool listed = false;
        for (const HelpTopic& topic : HelpTopics())
            listed = listed || name == topic.window;
        EXPECT_TRUE(listed) << name << " has no help topic";
        const QString page = QString::fromStdString(HelpTopicOf(name)) + QStringLiteral(".htm");
        EXPECT_TRUE(folder.exists(page)) << name << ": " << page.toStdString();
        // Only the main window and the version dialog are served by the index.
        if (name != "frmMain" && name != "fdlgVersion") {
            EXPECT_NE(page, QStringLiteral("index.htm")) << name;
        }
    });
    // The table names no window that is not there.
    for (const HelpTopic& topic : HelpTopics())
        EXPECT_TRUE(named.contains(QString::fromLatin1(topic.window))) << topic.window;
}

TEST(HelpPages, EveryPageIsReachableFromTheIndexAndEveryLinkLeadsToAPage) {
    const QDir folder = HelpSource();
    QSet<QString> reached{QStringLiteral("index.htm")};
    QStringList queue{QStringLiteral("index.htm")};
    while (!queue.isEmpty()) {
        const QString page = queue.takeFirst();
        for (const QString& link : LinksOf(page)) {
            if (link.startsWith(QStringLiteral("http")))
                continue;
            EXPECT_TRUE(folder.exists(link)) << page.toStdString() << " -> " << link.toStdString();
            if (folder.exists(link) && !reached.contains(link)) {
                reached.insert(link);
                queue.append(link);
            }
        }
    }
    for (const QString& page : folder.entryList({QStringLiteral("*.htm")}, QDir::Files))
        EXPECT_TRUE(reached.contains(page)) << page.toStdString() << " is not reached";
}

TEST_F(HelpPagesTest, EveryQuotedNameIsACaptionOfTheWindows) {
    // Every optional grid column shown, so that its heading is there.
    doc.nConvert30 = 1;
    doc.fcInputMode = 1;
    form->FormLoad();

    QSet<QString> captions;
    ForEveryWindow([&](QWidget& window) { AddCaptions(window, captions); });

    const std::vector<Quote> quotes = PageQuotes();
    EXPECT_GT(quotes.size(), 20u);
    for (const Quote& quote : quotes)
        EXPECT_TRUE(captions.contains(quote.name))
            << quote.page.toStdString() << ": 「" << quote.name.toStdString() << "」";
}

TEST(HelpPages, OptionsPageTellsOfColourPrinting) {
    QFile file(QStringLiteral(QM_TEST_DATA_DIR "/../../program/resources/help/options.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(file.readAll()).contains(QStringLiteral("「印刷時にカラー出力を行う」")));
}

// The PDF manual the build lays out beside the program holds every help page
// as a chapter, and the manual's index page leads to it.
TEST(HelpPages, TheManualHoldsEveryPage) {
    const std::string manual = ProgramFolder() + "/manual/Quilmorn2008.pdf";
    QFile pdf(QString::fromStdString(manual));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << manual;
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    pdf.close();

    QFile index(QString::fromStdString(ProgramFolder() + "/manual/pdf.htm"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(index.readAll()).contains(QStringLiteral("Quilmorn2008.pdf")));

    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const std::string text = std::string(QM_TEST_OUTPUT_DIR) + "/manual.txt";
    ASSERT_EQ(std::system(("pdftotext -enc UTF-8 '" + manual + "' '" + text + "'").c_str()), 0);
    QFile extracted(QString::fromStdString(text));
    ASSERT_TRUE(extracted.open(QIODevice::ReadOnly));
    const QString words = QString::fromUtf8(extracted.readAll()).simplified();
    static const QRegularExpression heading(QStringLiteral("<h1[^>]*>([^<]*)</h1>"));
    const QDir folder = HelpSource();
    for (const QString& page : folder.entryList({QStringLiteral("*.htm")}, QDir::Files)) {
        QFile file(folder.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString title = heading.match(QString::fromUtf8(file.readAll())).captured(1);
        ASSERT_FALSE(title.isEmpty()) << page.toStdString();
        EXPECT_TRUE(words.contains(title.simplified()))
            << page.toStdString() << ": " << title.toStdString() << " is not in the manual";
    }
}
