// The windows with the desktop's fonts: captions and lists show whole, the
// figure pane and the preview scroll from the wheel and the page keys, the
// splitter shows where it will land, dialogs and message boxes look as a
// modal dialog of this desktop does.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWheelEvent>

#include "example_boring.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/fdlgVersion.h"
#include "ui/dialogs/frmPreview.h"
#include "ui/dialogs/frmPreviewSet.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/main_window_support.h"
#include "ui/main_window/program_style.h"
#include "ui/main_window/splitter_bar.h"
#include "ui/main_window/toolbar_images.h"
#include "ui/platform/qt_platform_services.h"
#include "ui/widgets/scroll_input.h"
#include "ui/widgets/whole_lines_text.h"
#include "ui/widgets/wrapping_check_box.h"

namespace {

void Wheel(QWidget* target, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

void Key(QWidget* target, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The rectangle of `w` in the coordinates of `ancestor`.
QRect RectIn(const QWidget* w, const QWidget* ancestor) {
    return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}

}  // namespace

// ---------------------------------------------------------------------------
// Condition page

TEST_F(MainWindowTest, ConditionCheckBoxesShowTheirWholeCaptionsWithoutOverlap) {
    ShowWindow();
    QWidget* page = form->txtMagu->parentWidget();
    for (size_t i = 0; i < form->chkEkidata.size(); ++i) {
        QCheckBox* box = form->chkEkidata[i];
        SCOPED_TRACE(box->text().toStdString());
        // The caption's wrapped lines fit the box with the page's font.
        EXPECT_GE(box->height(), box->heightForWidth(box->width()));
        // Inside its frame, below the frame's title.
        QWidget* frame = box->parentWidget();
        EXPECT_TRUE(frame->rect().contains(box->geometry())) << box->geometry().y();
        EXPECT_GE(box->y(), box->fontMetrics().height());
        for (size_t j = i + 1; j < form->chkEkidata.size(); ++j)
            EXPECT_FALSE(RectIn(box, page).intersects(RectIn(form->chkEkidata[j], page)));
    }
    // The long exclusion caption needs more than one line here and gets it.
    QCheckBox* longest = form->chkEkidata[3];
    EXPECT_EQ(longest->text(),
              QStringLiteral("細粒分含有率35%以上の層で粘土含有率が10%以上あるいは塑性指数が15%"
                             "以上の層"));
    EXPECT_GT(longest->heightForWidth(longest->width()), longest->heightForWidth(100000) * 3 / 2);
    // The frames follow each other without overlap, within the page's
    // content, which scrolls when the window is too short for it.
    EXPECT_LE(RectIn(form->frmEkiCalc1, page).bottom(), RectIn(form->frmEkiCalc2, page).top());
    EXPECT_LE(RectIn(form->frmEkiCalc2, page).bottom(), page->minimumHeight());
    EXPECT_LE(RectIn(form->txtCalcDepth, page).bottom(), RectIn(form->frmEkiCalc1, page).top());
    // The guideline options lie inside their frame below its title too.
    for (QRadioButton* option : form->optTigenShitei1) {
        EXPECT_TRUE(form->frmTeigenShitei->rect().contains(option->geometry()));
        EXPECT_GE(option->y(), option->fontMetrics().height());
    }
    EXPECT_LE(RectIn(form->frmTeigenShitei, page).bottom(), RectIn(form->txtMagu, page).top());
    // At the window's designed size the page shows every row without being
    // scrolled: the last caption is not cut.
    EXPECT_LE(page->minimumHeight(), form->picShow[1]->height());
}

TEST(WrappingCheckBox, ClickOnASecondLineTogglesIt) {
    EnsureQtApplication();
    WrappingCheckBox box(
        QStringLiteral("細粒分含有率35%以上の層で粘土含有率が10%以上あるいは"
                       "塑性指数が15%以上の層"));
    box.resize(120, box.heightForWidth(120));
    box.show();
    ASSERT_GT(box.height(), box.fontMetrics().height() * 2);
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(60, box.height() - 3));
    EXPECT_TRUE(box.isChecked());
}

// ---------------------------------------------------------------------------
// Soil-name assistant

TEST_F(MainWindowTest, SoilNameListsShowSeveralWholeNamesWithoutABarAcross) {
    ShowWindow();
    for (QListWidget* list : form->lstSoilDef) {
        SCOPED_TRACE(list->objectName().toStdString());
        ASSERT_GT(list->count(), 3);
        int row = list->sizeHintForRow(0);
        ASSERT_GT(row, 0);
        EXPECT_GE(list->viewport()->height() / row, 3)
            << list->viewport()->height() << " / " << row << " " << list->fontMetrics().height();
        EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    }
}

// ---------------------------------------------------------------------------
// Grid headings

TEST(HeadingLines, AHeadingThatDoesNotFitBreaksBeforeItsUnit) {
    EnsureQtApplication();
    QFontMetrics metrics(QApplication::font());
    struct Case {
        const char* heading;
        const char* shown;
    };
    const Case cases[] = {
        {"γ (kN/m3)", "γ\n(kN/m3)"},
        {"σ'z (kN/m2)", "σ'z\n(kN/m2)"},
        {"地下水位以下 土の単位重量γ(kN/m3)", "地下水位以下 土の単位重量γ\n(kN/m3)"},
        {"FC (%)", "FC\n(%)"},
        {"土質名", "土質名"},  // no unit: left to ordinary wrapping
        {"(kN/m3)", "(kN/m3)"},
    };
    for (const Case& c : cases) {
        QString heading = QString::fromUtf8(c.heading);
        EXPECT_EQ(HeadingLines(heading, metrics, 10), QString::fromUtf8(c.shown)) << c.heading;
        // Wide enough: one line, as it is.
        EXPECT_EQ(HeadingLines(heading, metrics, 100000), heading) << c.heading;
    }
}

TEST(SpreadGridHeader, ANarrowUnitColumnGetsTwoWholeHeadingLines) {
    EnsureQtApplication();
    SpreadGrid grid;
    grid.SetMaxCols(1);
    grid.SetMaxRows(1);
    grid.horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    grid.SetText(1, 0, QStringLiteral("γ (kN/m3)"));
    QFontMetrics metrics = grid.horizontalHeader()->fontMetrics();
    int margin = grid.style()->pixelMetric(QStyle::PM_HeaderMargin);
    grid.setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("(kN/m3)")) + 2 * margin + 2);
    EXPECT_GE(grid.horizontalHeader()->sizeHint().height(), 2 * metrics.height());
    // The stored heading is the grid's text, not the lines it is shown in.
    EXPECT_EQ(grid.Text(1, 0), QStringLiteral("γ (kN/m3)"));
}

TEST_F(MainWindowTest, EveryHeaderRowShowsItsHeadingLinesWhole) {
    // Every optional column on, so that the N-value grid is at its narrowest
    // and the soil grid shows all its two-line units.
    Document boring = ExampleBoring();
    boring.nConvert30 = 1;
    boring.fcInputMode = 1;
    boring.layerColumnUsed.fill(1);
    boring.layerColumnUsed[2] = 0;
    Load(boring);
    ShowWindow();
    for (SpreadGrid* grid : {form->vaSpreadN, form->vaSpreadS, form->vaSpreadE}) {
        SCOPED_TRACE(grid->objectName().toStdString());
        QHeaderView* header = grid->horizontalHeader();
        const QFontMetrics metrics = header->fontMetrics();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        int twoLineHeads = 0;
        for (int col = 1; col <= grid->MaxCols(); ++col) {
            if (grid->isColumnHidden(col - 1))
                continue;
            QString shown = HeadingLines(grid->Text(col, 0), metrics,
                                         header->sectionSize(col - 1) - 2 * margin);
            int lines = static_cast<int>(shown.count(u'\n')) + 1;
            twoLineHeads += lines > 1 ? 1 : 0;
            // The lines and the header's margins above and below them.
            EXPECT_GE(header->height(), lines * metrics.height() + 2 * margin)
                << grid->Text(col, 0).toStdString();
        }
        EXPECT_GT(twoLineHeads, 0);
    }
    // Narrower columns want more lines: the row grows with them.
    int before = form->vaSpreadS->horizontalHeader()->height();
    form->vaSpreadS->setColumnWidth(4, 20);
    EXPECT_GT(form->vaSpreadS->horizontalHeader()->height(), before);
}

TEST_F(MainWindowTest, BasicDataSummaryShowsWholeLinesOnly) {
    ASSERT_NE(dynamic_cast<WholeLinesText*>(form->txtKihon), nullptr);
    QPlainTextEdit* box = form->txtKihon;
    Document empty;
    NewDocument(empty);
    empty.basicData.Site = "東京都港区";
    for (const Document& boring : {ExampleBoring(), empty}) {
        Load(boring);
        ShowWindow();
        const int bottom = box->viewport()->height();
        const QColor base = box->palette().color(QPalette::Base);
        QImage shown = box->viewport()->grab().toImage();
        int whole = 0;
        for (QTextBlock block = box->document()->firstBlock(); block.isValid();
             block = block.next()) {
            QRect line = box->cursorRect(QTextCursor(block));
            if (line.top() >= bottom)
                break;
            if (line.bottom() < bottom) {
                ++whole;
                continue;
            }
            // The line that does not fit shows nothing of itself.
            for (int y = line.top(); y < bottom; ++y)
                for (int x = 0; x < shown.width(); ++x)
                    ASSERT_EQ(shown.pixelColor(x, y), base) << x << "," << y;
        }
        EXPECT_GE(whole, 2);
        // The lines that fit are drawn: the third line has its text.
        QRect third = box->cursorRect(QTextCursor(box->document()->findBlockByNumber(2)));
        bool inked = false;
        for (int y = third.top(); y <= third.bottom() && y < bottom; ++y)
            for (int x = 0; x < shown.width(); ++x)
                inked = inked || shown.pixelColor(x, y) != base;
        EXPECT_TRUE(inked);
    }
}

TEST(ProgramFonts, WindowsUseTheJapaneseFaceAtTheDesktopsSize) {
    EnsureQtApplication();
    const QFont desktop = QApplication::font();
    UseProgramFonts(*qApp);
    QLabel label(QStringLiteral("建築基礎構造設計指針 2001年版による"));
    EXPECT_EQ(QFontInfo(label.font()).family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(label.font().pointSizeF(), desktop.pointSizeF());
    QApplication::setFont(desktop);
}

TEST_F(MainWindowTest, SoilColumnSwitchesNameTheConstantsAsThePrintItemDialog) {
    frmPreviewSet items(doc, services);
    EXPECT_EQ(form->chkSodata[0]->text(), QStringLiteral("土質記号"));
    for (int k = 1; k < 15; ++k) {
        // The dialog's first two boxes are swapped against the constants.
        int box = k == 1 ? 1 : k == 2 ? 0 : k - 1;
        EXPECT_EQ(form->chkSodata[static_cast<size_t>(k)]->text(),
                  items.chkSodata[static_cast<size_t>(box)]->text())
            << k;
    }
}

TEST(ToolbarImages, AreDrawnAtTheScreensDevicePixels) {
    EnsureQtApplication();
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        QPixmap image = ToolbarImage(131).pixmap(QSize(16, 16), ratio);
        EXPECT_EQ(image.size(), QSize(16, 16) * ratio) << ratio;
        EXPECT_EQ(image.deviceIndependentSize(), QSizeF(16, 16)) << ratio;
    }
    EXPECT_TRUE(ToolbarImage(9999).isNull());
    EXPECT_FALSE(ToolbarImage(139).pixmap(QSize(16, 16), QIcon::Disabled).isNull());
}

TEST(MessageBoxes, KeepRoomForTheirWholeTitle) {
    EnsureQtApplication();
    QtPlatformServices services;
    int width = 0;
    int needed = 0;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        const QFontMetrics metrics(box->font());
        width = box->width();
        // The title beside the frame's icon and its buttons, a line each and
        // more.
        needed = metrics.horizontalAdvance(box->windowTitle()) + 6 * metrics.height();
        box->close();
    });
    services.ShowMessage("数値を入力してください", MessageIcon::None, "Quilmorn2008",
                         MessageButtons::Ok);
    EXPECT_GE(width, needed);
}

// ---------------------------------------------------------------------------
// Soil-name definitions dialog and modal dialogs

TEST(ModalDialogs, HaveACloseBoxButNoMinimiseOrMaximiseButton) {
    EnsureQtApplication();
    Settings settings;
    SetDefaultSoilNames(settings);
    FakePlatformServices services;
    frmSNDef names(settings, services);
    fdlgVersion version(CurrentProgramInfo(), nullptr);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&names, &version}) {
        Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint) << dialog->objectName().toStdString();
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << dialog->objectName().toStdString();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    }
}

TEST_F(MainWindowTest, SoilNameDefinitionRowsAreAsTallAsTheMainWindowGridRows) {
    frmSNDef names(settings, services);
    names.show();
    QApplication::processEvents();
    int mainRow = form->vaSpreadS->verticalHeader()->defaultSectionSize();
    for (SpreadGrid* grid : names.vaSpreadS) {
        EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), mainRow);
        EXPECT_EQ(grid->font().pointSize(), form->vaSpreadS->font().pointSize());
        EXPECT_GE(grid->viewport()->height() / mainRow, 9);
    }
}

TEST(MessageBoxes, ButtonsCarryTheirCaptionsOnly) {
    EnsureQtApplication();
    UseProgramStyle(*qApp);
    UseProgramStyle(*qApp);  // a second call keeps the one style
    EXPECT_EQ(qApp->style()->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons), 0);
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"),
                    QMessageBox::Yes | QMessageBox::No);
    for (QAbstractButton* button : box.buttons())
        EXPECT_TRUE(button->icon().isNull()) << button->text().toStdString();
}

// ---------------------------------------------------------------------------
// Splitter

TEST(SplitterBar, AnOutlineFollowsThePointerWhileDraggingAndGoesOnRelease) {
    EnsureQtApplication();
    QWidget window;
    window.resize(400, 300);
    QPoint dropped(-1, -1);
    auto* bar = new SplitterBar(&window, [&](QPoint global) { dropped = global; });
    bar->setGeometry(0, 100, 400, 5);
    window.show();
    QApplication::processEvents();

    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(50, 2));
    ASSERT_NE(bar->DragOutline(), nullptr);
    EXPECT_EQ(bar->DragOutline()->geometry(), QRect(0, 100, 400, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 62), bar->mapToGlobal(QPointF(50, 62)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    EXPECT_EQ(bar->DragOutline()->geometry(), QRect(0, 160, 400, 5));
    EXPECT_EQ(dropped, QPoint(-1, -1));

    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(50, 62));
    EXPECT_EQ(bar->DragOutline(), nullptr);
    EXPECT_EQ(dropped, bar->mapToGlobal(QPoint(50, 62)));
}

// ---------------------------------------------------------------------------
// Scrolling

TEST(ScrollInputFilter, WheelMovesBySmallChangesAndPageKeysByLargeOnes) {
    EnsureQtApplication();
    QWidget pane;
    QScrollBar vertical(Qt::Vertical);
    QScrollBar horizontal(Qt::Horizontal);
    for (QScrollBar* bar : {&vertical, &horizontal}) {
        bar->setRange(0, 1000);
        bar->setSingleStep(7);
        bar->setPageStep(90);
        bar->setValue(500);
    }
    pane.installEventFilter(new ScrollInputFilter(&pane, &vertical, &horizontal));

    Wheel(&pane, QPoint(0, -120));  // one notch towards the user
    EXPECT_EQ(vertical.value(), 507);
    Wheel(&pane, QPoint(0, 240));
    EXPECT_EQ(vertical.value(), 493);
    Wheel(&pane, QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_EQ(horizontal.value(), 507);
    EXPECT_EQ(vertical.value(), 493);
    Wheel(&pane, QPoint(120, 0));  // a sideways wheel
    EXPECT_EQ(horizontal.value(), 500);

    Key(&pane, Qt::Key_PageDown);
    EXPECT_EQ(vertical.value(), 583);
    Key(&pane, Qt::Key_PageUp);
    Key(&pane, Qt::Key_PageUp);
    EXPECT_EQ(vertical.value(), 403);
    vertical.setValue(10);
    Key(&pane, Qt::Key_PageUp);
    EXPECT_EQ(vertical.value(), 0);  // the bar's own limits hold
}

TEST_F(MainWindowTest, WheelAndPageKeysScrollTheFigurePane) {
    Load(ExampleBoring());
    ShowWindow();
    QScrollBar* bar = form->VScrollShow;
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(0);
    Wheel(form->picShow[0], QPoint(0, -120));
    EXPECT_EQ(bar->value(), bar->singleStep());
    Key(form->picShow[0], Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), std::min(bar->maximum(), bar->singleStep() + bar->pageStep()));
    // A click on the pane gives it the page keys.
    EXPECT_TRUE(form->picShow[0]->focusPolicy() & Qt::ClickFocus);
}

// ---------------------------------------------------------------------------
// Preview

TEST(PreviewWindow, OpensInProportionToTheScreen) {
    struct Case {
        QSize available;
        QSize opened;
    };
    const Case cases[] = {
        {{1600, 1000}, {1140, 900}},
        {{3840, 2100}, {2394, 1890}},
        {{1000, 1400}, {900, 1260}},  // narrow screen: its width limits
        {{640, 480}, {760, 600}},     // never smaller than the design
    };
    for (const Case& c : cases)
        EXPECT_EQ(frmPreview::OpeningSize(c.available), c.opened) << c.available.width();
}

TEST(ModalDialogs, KeepTheSizeTheyOpenAt) {
    EnsureQtApplication();
    fdlgVersion version(CurrentProgramInfo(), nullptr);
    version.show();
    QApplication::processEvents();
    EXPECT_EQ(version.minimumSize(), version.size());
    EXPECT_EQ(version.maximumSize(), version.size());
}

TEST_F(MainWindowTest, StartUpMessagesOpenOverTheShownMainWindow) {
    ShowWindow();
    QtPlatformServices platform;  // no parent handed over yet, as during start-up
    EXPECT_EQ(platform.MessageOwner(), form.get());
    QWidget other;
    platform.SetParentWindow(&other);
    EXPECT_EQ(platform.MessageOwner(), &other);
}
