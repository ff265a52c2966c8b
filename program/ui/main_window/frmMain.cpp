// The main window's frame: its controls and menus, the two load routines, the
// resize layout with the splitter, the toolbar, the Edit-menu enabling, the
// navigation of the condition page and closing.
#include "ui/main_window/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSessionManager>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <functional>

#include "core/calc_driver.h"
#include "core/path_helpers.h"
#include "output/clsPrinter.h"
#include "output/qt_print_system.h"
#include "sheets/sheet_composition.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/figure_pane.h"
#include "ui/main_window/menu_builders.h"
#include "ui/main_window/splitter_bar.h"
#include "ui/main_window/toolbar_images.h"
#include "ui/platform/desktop_helpers.h"
#include "ui/platform/locale_names.h"
#include "ui/widgets/scroll_input.h"
#include "ui/widgets/whole_lines_text.h"
#include "ui/widgets/wrapping_check_box.h"

namespace {

// The inner area as designed, in twips; it is also the smallest inner size.
constexpr int kDesignInnerWidth = 8895;
constexpr int kDesignInnerHeight = 6735;
constexpr int kToolbarHeight = 420;
constexpr int kStatusBarHeight = 300;

const char* const kProgramCaption = "Vekt／Quilmorn2008";

double ScreenTwipsPerPixelX() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? 1440.0 / screen->logicalDotsPerInchX() : 15.0;
}

double ScreenTwipsPerPixelY() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? 1440.0 / screen->logicalDotsPerInchY() : 15.0;
}

int Nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// List rows one line of the list's font tall, without the style's padding,
// so that the soil-name lists' small boxes show several whole names.
class CompactRows : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        return {size.width(), option.fontMetrics.height()};
    }
};

// The status bar of the design lies at the bottom of the inner area.
QStatusBar* MakeStatusBar(QWidget* parent) {
    auto* bar = new QStatusBar(parent);
    bar->setSizeGripEnabled(false);
    return bar;
}

}  // namespace

// The calculation's messages go to the label on the result page.
class frmMain::LabelSink : public CalcMessageSink {
  public:
    explicit LabelSink(frmMain& form) : form_(form) {}
    void SetCalcMessage(const std::string& text) override {
        form_.lblCalcComent->setText(QString::fromStdString(text));
    }

  private:
    frmMain& form_;
};

frmMain::frmMain(Document& document, Settings& userSettings, SheetCanvases& sheetCanvases,
                 PlatformServices& platformServices, QuorlithLibrary& quorlith, QWidget* parent)
    : QMainWindow(parent),
      doc(document),
      settings(userSettings),
      canvases(sheetCanvases),
      services(platformServices),
      library(quorlith),
      programInfo(CurrentProgramInfo()),
      layout(ScreenTwipsPerPixelX(), ScreenTwipsPerPixelY()),
      labelSink_(std::make_unique<LabelSink>(*this)) {
    RunModal = [](QDialog& dialog) { return dialog.exec(); };
    programInfo.monthAbbreviations = LocaleMonthAbbreviations(QLocale::system());
    setObjectName(QStringLiteral("frmMain"));
    BuildMenus();
    BuildControls();
    ConnectHandlers();
    InstallHelpKey(this, services);
    Form_Load();
}

frmMain::~frmMain() {
    // The controls outlive this body: no focus change or cell-leave report
    // may reach the handlers while the window is taken apart.
    disconnect(qApp, nullptr, this, nullptr);
    for (SpreadGrid* grid : {vaSpreadN, vaSpreadS, vaSpreadE})
        disconnect(grid, nullptr, this, nullptr);
}

// ---------------------------------------------------------------------------
// Construction

void frmMain::BuildMenus() {
    auto action = [this](QMenu* menu, const char* name, const QString& text,
                         QKeySequence key = {}) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* a = menu->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNew = action(mnuFile, "mnuFileNew", QStringLiteral("新規作成(&N)"),
                        QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = action(mnuFile, "mnuFileOpen", QStringLiteral("開く(&O)..."),
                         QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileBar1 = separator(mnuFile, "mnuFileBar1");
    mnuFileSave = action(mnuFile, "mnuFileSave", QStringLiteral("上書き保存(&S)"),
                         QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSaveAs = action(mnuFile, "mnuFileSaveAs", QStringLiteral("名前を付けて保存(&A)..."));
    mnuFileBar2 = separator(mnuFile, "mnuFileBar2");
    mnuFileExport = action(mnuFile, "mnuFileExport", QStringLiteral("図をﾒﾀﾌｧｲﾙに保存(&M)..."));
    mnuFileBar3 = separator(mnuFile, "mnuFileBar3");
    mnuFilePrint = action(mnuFile, "mnuFilePrint", QStringLiteral("印刷(&V)..."));
    mnuFilePreView = action(mnuFile, "mnuFilePreView", QStringLiteral("印刷プレビュー(&P)..."));
    mnuFileList[0] = separator(mnuFile, "mnuFileList0");
    for (int i = 1; i <= 5; ++i) {
        QAction* entry = mnuFile->addAction(QStringLiteral("&%1 (MRU)").arg(i));
        entry->setObjectName(QStringLiteral("mnuFileList%1").arg(i));
        entry->setVisible(false);
        mnuFileList[static_cast<size_t>(i)] = entry;
    }
    mnuFileList[6] = separator(mnuFile, "mnuFileList6");
    mnuFileList[6]->setVisible(false);
    mnuFileEnd = action(mnuFile, "mnuFileEnd", QStringLiteral("終了"));

    mnuEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditUndo = action(mnuEdit, "mnuEditUndo", QStringLiteral("元に戻す(&U)"));
    mnuEditRedo = action(mnuEdit, "mnuEditRedo", QStringLiteral("繰り返し(&R)"));
    mnuEditBar1 = separator(mnuEdit, "mnuEditBar1");
    mnuEditCut = action(mnuEdit, "mnuEditCut", QStringLiteral("切り取り(&X)"));
    for (QAction* hidden : {mnuEditUndo, mnuEditRedo, mnuEditBar1, mnuEditCut})
        hidden->setVisible(false);
    mnuEditCopy = action(mnuEdit, "mnuEditCopy", QStringLiteral("コピー(&C)"),
                         QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuEditPaste = action(mnuEdit, "mnuEditPaste", QStringLiteral("貼り付け(&P)"),
                          QKeySequence(Qt::CTRL | Qt::Key_V));
    mnuEditClear = action(mnuEdit, "mnuEditClear", QStringLiteral("クリア(&E)"));
    mnuEditBar2 = separator(mnuEdit, "mnuEditBar2");
    mnuEditCutRow = action(mnuEdit, "mnuEditCutRow", QStringLiteral("行切り取り(&R)"));
    mnuEditCopyRow = action(mnuEdit, "mnuEditCopyRow", QStringLiteral("行ｺﾋﾟｰ(&F)"));
    mnuEditPasteRow = action(mnuEdit, "mnuEditPasteRow", QStringLiteral("行貼り付け(&G)"));
    mnuEditInsertRow = action(mnuEdit, "mnuEditInsertRow", QStringLiteral("行挿入(&I)"));
    mnuEditClearRow = action(mnuEdit, "mnuEditClearRow", QStringLiteral("行クリア(&K)"));
    mnuEditDeleteRow = action(mnuEdit, "mnuEditDeleteRow", QStringLiteral("行削除(&J)"));
    mnuEditBar3 = separator(mnuEdit, "mnuEditBar3");
    mnuEditCopyUnder = action(mnuEdit, "mnuEditCopyUnder", QStringLiteral("下方へｺﾋﾟｰ(&D)"),
                              QKeySequence(Qt::CTRL | Qt::Key_D));
    mnuEditDeleteUnderAll =
        action(mnuEdit, "mnuEditDeleteUnderAll", QStringLiteral("以降すべて削除(&A)"));

    mnuOption = menuBar()->addMenu(QStringLiteral("設定(&O)"));
    mnuOption->setObjectName(QStringLiteral("mnuOption"));
    BuildOptionMenu(mnuOption,
                    {[this] { mnuOptionPath_Click(); }, [this] { mnuOptionYohaku_Click(); },
                     [this] { mnuOptionSoName_Click(); }});

    mnuHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    BuildHelpMenu(mnuHelp, services, this, [this] { mnuHelpAboutMe_Click(); });

    // Never in the menu bar: the pop-up of the result grid.
    mnuPopCopy = new QMenu(QStringLiteral("コピー"), this);
    mnuPopCopy->setObjectName(QStringLiteral("mnuPopCopy"));
    mnuCopy1 = action(mnuPopCopy, "mnuCopy1", QStringLiteral("コピー"));
}

void frmMain::BuildControls() {
    auto* inner = new QWidget(this);
    inner->setObjectName(QStringLiteral("InnerArea"));
    setCentralWidget(inner);
    inner->installEventFilter(this);

    auto page = [this](QWidget* parent, const char* name) {
        auto* w = new QWidget(parent);
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    auto label = [](QWidget* parent, const char* name, const QString& text) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto check = [](QWidget* parent, const QString& name, const QString& text) {
        auto* c = new QCheckBox(text, parent);
        c->setObjectName(name);
        return c;
    };
    auto edit = [](QWidget* parent, const char* name) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    auto tabs = [](QWidget* parent, const char* name,
                   std::initializer_list<std::pair<const char*, const char*>> items) {
        auto* bar = new QTabBar(parent);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setExpanding(false);
        bar->setDrawBase(true);
        for (auto [caption, key] : items) {
            int i = bar->addTab(QString::fromUtf8(caption));
            bar->setTabData(i, QString::fromLatin1(key));
        }
        return bar;
    };

    Toolbar1 = new QToolBar(inner);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    layout.Set(Toolbar1, {0, 0, kDesignInnerWidth, kToolbarHeight});
    StatusBar1 = MakeStatusBar(inner);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    layout.Set(StatusBar1,
               {0, kDesignInnerHeight - kStatusBarHeight, kDesignInnerWidth, kStatusBarHeight});

    // The figure tab and its three stacked pages.
    tabShow = tabs(inner, "tabShow",
                   {{"土質柱状図", "Zu"}, {"液状化判定", "Eki"}, {"液状化判定結果", "Ekiout"}});
    layout.Set(tabShow, {0, 420, 4875, 3555});

    auto* pane = new FigurePane(
        inner, [this](QPainter& p) { PaintFigurePane(p); }, [this] { picShow_Resize(0); });
    pane->setObjectName(QStringLiteral("picShow0"));
    picShow[0] = pane;
    layout.Set(pane, {60, 780, 4695, 3135});
    VScrollShow = new QScrollBar(Qt::Vertical, pane);
    VScrollShow->setObjectName(QStringLiteral("VScrollShow"));
    // A click gives the pane the focus, so that the page keys scroll it.
    pane->setFocusPolicy(Qt::ClickFocus);
    pane->installEventFilter(new ScrollInputFilter(pane, VScrollShow));

    // The condition page scrolls when the window is too short for its rows at
    // the font in use; its controls lie on the page's content.
    auto* conditionPage = new QScrollArea(inner);
    conditionPage->setObjectName(QStringLiteral("picShow1"));
    conditionPage->setFrameShape(QFrame::NoFrame);
    conditionPage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    conditionPage->setWidgetResizable(true);
    conditionPage->viewport()->setAutoFillBackground(false);
    conditionPage->setFont(QFont(conditionPage->font().family(), 8));
    auto* conditions = page(conditionPage, "picShow1Content");
    conditionPage->setWidget(conditions);
    conditions->setAutoFillBackground(false);
    picShow[1] = conditionPage;
    conditionContent_ = conditions;
    // Up, Down and Enter move the focus along the page: it scrolls to show it.
    connect(qApp, &QApplication::focusChanged, conditionPage,
            [conditionPage](QWidget*, QWidget* now) {
                if (now != nullptr && conditionPage->widget()->isAncestorOf(now))
                    conditionPage->ensureWidgetVisible(now, 0, 0);
            });
    layout.Set(picShow[1], {60, 780, 4695, 3135});
    frmTeigenShitei = new QGroupBox(QStringLiteral("地盤反力係数の低減率の計算指定"), conditions);
    frmTeigenShitei->setObjectName(QStringLiteral("frmTeigenShitei"));
    layout.Set(frmTeigenShitei, {60, 0, 4575, 720});
    optTigenShitei1[0] =
        new QRadioButton(QStringLiteral("建築基礎構造設計指針 2001年版による"), frmTeigenShitei);
    optTigenShitei1[1] =
        new QRadioButton(QStringLiteral("建築基礎構造設計指針 1988年版による"), frmTeigenShitei);
    for (int i = 0; i < 2; ++i) {
        optTigenShitei1[static_cast<size_t>(i)]->setObjectName(
            QStringLiteral("optTigenShitei1_%1").arg(i));
        layout.Set(optTigenShitei1[static_cast<size_t>(i)], {120, 240 + 225 * i, 4300, 240});
    }
    lblMagu = label(conditions, "lblMagu", QStringLiteral("マグニチュード"));
    txtMagu = edit(conditions, "txtMagu");
    lblKasokudo = label(conditions, "lblKasokudo", QStringLiteral("設計用水平加速度(㎝/s2)"));
    txtKasokudo = edit(conditions, "txtKasokudo");
    lblCalcDepth = label(conditions, "lblCalcDepth", QStringLiteral("計算深さ(m)"));
    txtCalcDepth = edit(conditions, "txtCalcDepth");
    {
        int top = 800;
        for (auto [lbl, txt] : {std::pair{lblMagu, txtMagu}, std::pair{lblKasokudo, txtKasokudo},
                                std::pair{lblCalcDepth, txtCalcDepth}}) {
            layout.Set(lbl, {180, top + 30, 2700, 255});
            layout.Set(txt, {2940, top, 900, 285});
            txt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            top += 330;
        }
    }
    frmEkiCalc1 = new QGroupBox(QStringLiteral("計算範囲条件"), conditions);
    frmEkiCalc1->setObjectName(QStringLiteral("frmEkiCalc1"));
    layout.Set(frmEkiCalc1, {60, 1800, 4575, 480});
    frmEkiCalc2 = new QGroupBox(QStringLiteral("土質定数による対象除外条件"), conditions);
    frmEkiCalc2->setObjectName(QStringLiteral("frmEkiCalc2"));
    layout.Set(frmEkiCalc2, {60, 2310, 4575, 780});
    chkEkidata[0] = new WrappingCheckBox(QStringLiteral("地下水位以浅の計算を行う"), frmEkiCalc1);
    chkEkidata[0]->setObjectName(QStringLiteral("chkEkidata0"));
    layout.Set(chkEkidata[0], {120, 210, 4300, 240});
    const char* exclusions[] = {
        "粘土含有率が20%以上の層", "細粒分含有率が35%以上の全ての層",
        "細粒分含有率35%以上の層で粘土含有率が10%以上あるいは塑性指数が15%以上の層"};
    for (int i = 1; i <= 3; ++i) {
        auto* box = new WrappingCheckBox(QString::fromUtf8(exclusions[i - 1]), frmEkiCalc2);
        box->setObjectName(QStringLiteral("chkEkidata%1").arg(i));
        box->setToolTip(box->text());
        layout.Set(box, {120, 210 + 180 * (i - 1), 4400, 240});
        chkEkidata[static_cast<size_t>(i)] = box;
    }
    ArrangeConditionPage();

    picShow[2] = page(inner, "picShow2");
    layout.Set(picShow[2], {60, 780, 4695, 3135});
    lblCalcComent = label(picShow[2], "lblCalcComent", QString());
    lblCalcComent->setWordWrap(true);
    lblCalcComent->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout.Set(lblCalcComent, {60, 60, 4575, 2135});
    vaSpreadE = new SpreadGrid(picShow[2]);
    vaSpreadE->setObjectName(QStringLiteral("vaSpreadE"));
    vaSpreadE->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout.Set(vaSpreadE, {0, 0, 4215, 2535});
    vaSpreadE->SetMaxRows(1);
    vaSpreadE->SetMaxCols(21);

    // The basic data and the N-value panel at the right.
    txtKihon = new WholeLinesText(inner);
    txtKihon->setObjectName(QStringLiteral("txtKihon"));
    txtKihon->setReadOnly(true);
    txtKihon->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtKihon->setFont(QFont(txtKihon->font().family(), 8));
    layout.Set(txtKihon, {4980, 420, 3915, 675});
    cmdKihonData = new QPushButton(QStringLiteral("基本データの編集..."), inner);
    cmdKihonData->setObjectName(QStringLiteral("cmdKihonData"));
    layout.Set(cmdKihonData, {4980, 1125, 3915, 345});

    tabNchi = tabs(inner, "tabNchi", {{"N値", "Data"}, {"入力設定", "Control"}});
    layout.Set(tabNchi, {4980, 1500, 3915, 2475});
    picNchi[0] = page(inner, "picNchi0");
    layout.Set(picNchi[0], {5100, 1860, 3675, 2055});
    vaSpreadN = new SpreadGrid(picNchi[0]);
    vaSpreadN->setObjectName(QStringLiteral("vaSpreadN"));
    layout.Set(vaSpreadN, {0, 60, 3630, 1935});
    picNchi[1] = page(inner, "picNchi1");
    layout.Set(picNchi[1], {5100, 1860, 3675, 2055});
    lblNchi = label(picNchi[1], "lblNchi", QStringLiteral("Ｎ値の上限値"));
    layout.Set(lblNchi, {120, 150, 1500, 255});
    txtNchi = edit(picNchi[1], "txtNchi");
    txtNchi->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout.Set(txtNchi, {1680, 120, 720, 285});
    chkNchi[0] = check(picNchi[1], QStringLiteral("chkNchi0"), QStringLiteral("貫入量の入力"));
    layout.Set(chkNchi[0], {120, 540, 3400, 255});
    chkNchi[1] =
        check(picNchi[1], QStringLiteral("chkNchi1"), QStringLiteral("細粒分含有率（FC）の入力"));
    layout.Set(chkNchi[1], {120, 870, 3400, 255});

    // The splitter and the soil panel below it.
    picSplit = new SplitterBar(inner, [this](QPoint global) {
        QPoint p = centralWidget()->mapFromGlobal(global);
        Form_DragDrop(picSplit, layout.ToTwipsX(p.x()), layout.ToTwipsY(p.y()));
    });
    picSplit->setObjectName(QStringLiteral("picSplit"));
    layout.Set(picSplit, {0, 3960, 8895, 75});

    tabSoData =
        tabs(inner, "tabSoData", {{"土質と各種パラメータ", "Data"}, {"入力設定", "Control"}});
    layout.Set(tabSoData, {0, 4080, 8895, 2355});
    picSoData[0] = page(inner, "picSoData0");
    layout.Set(picSoData[0], {180, 4560, 8655, 1815});
    vaSpreadS = new SpreadGrid(picSoData[0]);
    vaSpreadS->setObjectName(QStringLiteral("vaSpreadS"));
    layout.Set(vaSpreadS, {60, 0, 4995, 1575});
    frmSoilName = new QGroupBox(QStringLiteral("土質名入力補助"), picSoData[0]);
    frmSoilName->setObjectName(QStringLiteral("frmSoilName"));
    layout.Set(frmSoilName, {5175, 0, 2280, 1755});
    lblSoilDef[0] = label(frmSoilName, "lblSoilDef0", QStringLiteral("副記号"));
    lblSoilDef[1] = label(frmSoilName, "lblSoilDef1", QStringLiteral("主記号"));
    for (int i = 0; i < 2; ++i) {
        auto* list = new QListWidget(frmSoilName);
        list->setObjectName(QStringLiteral("lstSoilDef%1").arg(i));
        // The designed box is three rows of a small font tall and as wide as
        // the longest built-in name at that size: the bar across appears
        // only for a longer name of the user's.
        QFont names(QStringLiteral("IPAGothic"));
        names.setPixelSize(10);
        list->setFont(names);
        list->setUniformItemSizes(true);
        list->setItemDelegate(new CompactRows(list));
        lstSoilDef[static_cast<size_t>(i)] = list;
    }
    layout.Set(lblSoilDef[0], {90, 240, 600, 255});
    layout.Set(lstSoilDef[0], {690, 240, 1500, 555});
    layout.Set(lblSoilDef[1], {90, 825, 600, 255});
    layout.Set(lstSoilDef[1], {690, 825, 1500, 555});
    cmdSoilNameCopy = new QPushButton(QStringLiteral("土質名にコピー"), frmSoilName);
    cmdSoilNameCopy->setObjectName(QStringLiteral("cmdSoilNameCopy"));
    layout.Set(cmdSoilNameCopy, {90, 1365, 2100, 330});

    picSoData[1] = page(inner, "picSoData1");
    layout.Set(picSoData[1], {180, 4560, 8655, 1815});
    // The constants are named as in the print-item dialog.
    const char* columns[15] = {
        "土質記号",          "単位重量（γ）",       "細粒分含有率（FC）",      "粘土含有率(CC)",
        "塑性指数（Ｉp）",   "一軸圧縮強度（ｑu）", "ポアソン比（ν）",         "せん断波速度（Vs）",
        "粗密波速度（Vp）",  "変形係数（Eo）",      "地盤反力係数低減率（β）", "圧縮係数（Cｃ）",
        "圧密降伏応力(Pc）", "初期間隙比（eo）",    "ﾔﾝｸﾞ係数（Es）"};
    for (int k = 0; k < 15; ++k) {
        QCheckBox* box = check(picSoData[1], QStringLiteral("chkSodata%1").arg(k),
                               QString::fromUtf8(columns[k]));
        layout.Set(box, {120 + 2850 * (k / 5), 60 + 300 * (k % 5), 2760, 255});
        chkSodata[static_cast<size_t>(k)] = box;
    }

    // Grid rows as tall as one line of the grid font.
    for (SpreadGrid* grid : {vaSpreadN, vaSpreadS, vaSpreadE})
        UseDataEntryRows(*grid);

    // Pages lie above their tab strips.
    for (QWidget* w :
         {picShow[0], picShow[1], picShow[2], picNchi[0], picNchi[1], picSoData[0], picSoData[1]})
        w->raise();
    picShow[1]->hide();
    picShow[2]->hide();
    picNchi[1]->hide();
    picSoData[1]->hide();

    // Make the inner area its designed size.
    QSize innerPixels(layout.ToPixelsX(kDesignInnerWidth), layout.ToPixelsY(kDesignInnerHeight));
    inner->setMinimumSize(innerPixels);
    resize(innerPixels.width(), innerPixels.height() + menuBar()->sizeHint().height());
}

void frmMain::ArrangeConditionPage() {
    // The designed rows assume a font whose check boxes fit 180 twips apart.
    // Here the rows follow each other from the top, each as tall as the
    // page's font needs, so that the page holds them at its designed size:
    // a frame draws its title on its top border, as the designed frames do,
    // and its rows begin below the title; the long exclusion caption wraps,
    // its frame growing to hold it. The page's content is as tall as its
    // last frame and scrolls only where the window is shorter than designed.
    const QFontMetrics metrics(conditionContent_->font());
    const int line = metrics.height();
    const QString frameLook =
        QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
            " margin-top: %1px; }"
            "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
            " left: 6px; padding: 0px 2px; }")
            .arg(line / 2);
    for (QGroupBox* frame : {frmTeigenShitei, frmEkiCalc1, frmEkiCalc2})
        frame->setStyleSheet(frameLook);
    // Room for the page's scroll bar at the right of the frames.
    const int bar =
        layout.ToTwipsX(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, picShow[1]));
    for (QWidget* w : {static_cast<QWidget*>(frmTeigenShitei), static_cast<QWidget*>(frmEkiCalc1),
                       static_cast<QWidget*>(frmEkiCalc2), static_cast<QWidget*>(chkEkidata[0]),
                       static_cast<QWidget*>(chkEkidata[1]), static_cast<QWidget*>(chkEkidata[2]),
                       static_cast<QWidget*>(chkEkidata[3])})
        layout.SetWidth(w, layout.Width(w) - bar);

    // Heights in twips, from the page's font.
    auto twips = [this](int pixels) { return layout.ToTwipsY(pixels); };
    const int rowsTop = twips(line + 1);  // a frame's first row, below its title
    const int frameBottom = twips(2);     // below a frame's last row
    const int gap = twips(2);             // between the parts of the page
    const int indicator = std::max(
        style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, chkEkidata[0]),
        style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, optTigenShitei1[0]));
    const int optionRow = twips(std::max(line, indicator) + 1);
    auto checkRow = [&](QCheckBox* box) {
        const int width = layout.ToPixelsX(layout.Width(box));
        return twips(std::max(box->heightForWidth(width), indicator) + 1);
    };

    int top = layout.Top(frmTeigenShitei);
    int row = rowsTop;
    for (QRadioButton* option : optTigenShitei1) {
        layout.Set(option,
                   {layout.Left(option), row,
                    layout.Width(frmTeigenShitei) - layout.Left(option) - twips(4), optionRow});
        row += optionRow;
    }
    layout.Set(frmTeigenShitei, {layout.Left(frmTeigenShitei), top, layout.Width(frmTeigenShitei),
                                 row + frameBottom});
    top = layout.Bottom(frmTeigenShitei) + gap;

    // The condition boxes are as tall as their text and frame need, a pixel
    // apart; their captions stand level with them.
    const int boxHeight = twips(line + 4);
    for (auto [caption, box] : {std::pair{lblMagu, txtMagu}, std::pair{lblKasokudo, txtKasokudo},
                                std::pair{lblCalcDepth, txtCalcDepth}}) {
        layout.Set(box, {layout.Left(box), top, layout.Width(box), boxHeight});
        const int captionHeight = twips(line);
        layout.Set(caption, {layout.Left(caption), top + (boxHeight - captionHeight) / 2,
                             layout.Width(caption), captionHeight});
        top += boxHeight + twips(1);
    }
    top += gap - twips(1);

    for (QGroupBox* frame : {frmEkiCalc1, frmEkiCalc2}) {
        row = rowsTop;
        for (QCheckBox* box : chkEkidata) {
            if (box->parentWidget() != frame)
                continue;
            const int height = checkRow(box);
            layout.Set(box, {layout.Left(box), row, layout.Width(box), height});
            row += height;
        }
        layout.Set(frame, {layout.Left(frame), top, layout.Width(frame), row + frameBottom});
        top = layout.Bottom(frame) + gap;
    }
    conditionContent_->setMinimumHeight(layout.ToPixelsY(layout.Bottom(frmEkiCalc2)));
}

void frmMain::ConnectHandlers() {
    connect(mnuFileNew, &QAction::triggered, this, [this] { mnuFileNew_Click(); });
    connect(mnuFileOpen, &QAction::triggered, this, [this] { mnuFileOpen_Click(); });
    connect(mnuFileSave, &QAction::triggered, this, [this] { mnuFileSave_Click(); });
    connect(mnuFileSaveAs, &QAction::triggered, this, [this] { mnuFileSaveAs_Click(); });
    connect(mnuFileExport, &QAction::triggered, this, [this] { mnuFileExport_Click(); });
    connect(mnuFilePrint, &QAction::triggered, this, [this] { mnuFilePrint_Click(); });
    connect(mnuFilePreView, &QAction::triggered, this, [this] { mnuFilePreView_Click(); });
    for (int i = 1; i <= 5; ++i)
        connect(mnuFileList[static_cast<size_t>(i)], &QAction::triggered, this,
                [this, i] { mnuFileList_Click(i); });
    connect(mnuFileEnd, &QAction::triggered, this, [this] { mnuFileEnd_Click(); });

    const std::pair<QAction*, void (frmMain::*)()> edits[] = {
        {mnuEditUndo, &frmMain::mnuEditUndo_Click},
        {mnuEditRedo, &frmMain::mnuEditRedo_Click},
        {mnuEditCut, &frmMain::mnuEditCut_Click},
        {mnuEditCopy, &frmMain::mnuEditCopy_Click},
        {mnuEditPaste, &frmMain::mnuEditPaste_Click},
        {mnuEditClear, &frmMain::mnuEditClear_Click},
        {mnuEditCutRow, &frmMain::mnuEditCutRow_Click},
        {mnuEditCopyRow, &frmMain::mnuEditCopyRow_Click},
        {mnuEditPasteRow, &frmMain::mnuEditPasteRow_Click},
        {mnuEditInsertRow, &frmMain::mnuEditInsertRow_Click},
        {mnuEditClearRow, &frmMain::mnuEditClearRow_Click},
        {mnuEditDeleteRow, &frmMain::mnuEditDeleteRow_Click},
        {mnuEditCopyUnder, &frmMain::mnuEditCopyUnder_Click},
        {mnuEditDeleteUnderAll, &frmMain::mnuEditDeleteUnderAll_Click},
        {mnuCopy1, &frmMain::mnuCopy1_Click},
    };
    for (auto [item, handler] : edits)
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });

    // The grids: right button menus and leaving a cell.
    const std::pair<SpreadGrid*, void (frmMain::*)(Qt::MouseButton, const QPoint&)> grids[] = {
        {vaSpreadN, &frmMain::vaSpreadN_MouseDown},
        {vaSpreadS, &frmMain::vaSpreadS_MouseDown},
        {vaSpreadE, &frmMain::vaSpreadE_MouseDown},
    };
    for (auto [grid, handler] : grids) {
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this,
                [this, grid, handler](const QPoint& pos) {
                    (this->*handler)(Qt::RightButton, grid->viewport()->mapToGlobal(pos));
                });
    }
    connect(vaSpreadN, &SpreadGrid::LeaveCell, this,
            [this](int c, int r, int nc, int nr) { vaSpreadN_LeaveCell(c, r, nc, nr); });
    connect(vaSpreadS, &SpreadGrid::LeaveCell, this,
            [this](int c, int r, int nc, int nr) { vaSpreadS_LeaveCell(c, r, nc, nr); });
    // Delete and BackSpace on selected cells clear them as the Clear command does.
    connect(vaSpreadN, &SpreadGrid::ClearKeyPressed, this, [this] { mnuEditClear_Click(); });
    connect(vaSpreadS, &SpreadGrid::ClearKeyPressed, this, [this] { mnuEditClear_Click(); });

    // The condition page.
    connect(txtMagu, &QLineEdit::textChanged, this, [this] { txtMagu_Change(); });
    connect(txtKasokudo, &QLineEdit::textChanged, this, [this] { txtKasokudo_Change(); });
    connect(txtCalcDepth, &QLineEdit::textChanged, this, [this] { txtCalcDepth_Change(); });
    connect(txtNchi, &QLineEdit::textChanged, this, [this] { txtNchi_Change(); });
    for (int i = 0; i < 4; ++i)
        connect(chkEkidata[static_cast<size_t>(i)], &QCheckBox::toggled, this,
                [this, i] { chkEkidata_Click(i); });
    for (int i = 0; i < 2; ++i) {
        connect(optTigenShitei1[static_cast<size_t>(i)], &QRadioButton::toggled, this,
                [this, i](bool on) {
                    if (on)
                        optTigenShitei1_Click(i);
                });
        connect(chkNchi[static_cast<size_t>(i)], &QCheckBox::toggled, this,
                [this, i] { chkNchi_Click(i); });
    }
    for (int k = 0; k < 15; ++k)
        connect(chkSodata[static_cast<size_t>(k)], &QCheckBox::toggled, this,
                [this, k] { chkSodata_Click(k); });
    connect(tabNchi, &QTabBar::currentChanged, this, [this] { tabNchi_Click(); });
    connect(tabSoData, &QTabBar::currentChanged, this, [this] { tabSoData_Click(); });
    connect(tabShow, &QTabBar::currentChanged, this, [this] { tabShow_Click(); });
    connect(cmdKihonData, &QPushButton::clicked, this, [this] { cmdKihonData_Click(); });
    connect(cmdSoilNameCopy, &QPushButton::clicked, this, [this] { cmdSoilNameCopy_Click(); });
    connect(VScrollShow, &QScrollBar::valueChanged, this, [this] { VScrollShow_Change(); });

    for (QWidget* w :
         std::initializer_list<QWidget*>{txtMagu, txtKasokudo, txtCalcDepth, chkEkidata[0],
                                         chkEkidata[1], chkEkidata[2], chkEkidata[3]})
        w->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        // The program restores no session: a restart would take the session
        // arguments for a project file.
        manager.setRestartHint(QSessionManager::RestartNever);
        if (SessionEnding(manager.allowsInteraction()))
            manager.release();
        else
            manager.cancel();
    });
    // Paste follows the clipboard while the window stays active, too.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { SetEditMenu(); });
}

// ---------------------------------------------------------------------------
// Load

void frmMain::Form_Load() {
    loading_ = true;
    SetToolbar();
    SetSoilDefList();
    SetMruMenu();

    // The layout's reference sizes are those of the design.
    LoadClientWidth = kDesignInnerWidth;
    LoadClientHeight = kDesignInnerHeight;
    LoadFigureTabWidth = layout.Width(tabShow);
    LoadFigureTabHeight = layout.Height(tabShow);
    LoadNTabLeft = layout.Left(tabNchi);
    LoadNTabHeight = layout.Height(tabNchi);
    LoadSoilTabWidth = layout.Width(tabSoData);
    LoadSoilTabHeight = layout.Height(tabSoData);
    SplitToSoilTabGap = layout.Top(tabSoData) - layout.Top(picSplit);
    LoadLowerPaneHeight = LoadClientHeight - layout.Top(picSplit);

    // The splitter reaches beyond both edges, so that it can be grabbed anywhere.
    QScreen* screen = QGuiApplication::primaryScreen();
    int screenWidth = layout.ToTwipsX(screen != nullptr ? screen->size().width() : 1920);
    layout.SetLeft(picSplit, -screenWidth);
    layout.SetWidth(picSplit, 3 * screenWidth);
    LowerPaneHeight = LoadClientHeight - layout.Top(picSplit);

    for (size_t i = 1; i < 2; ++i) {
        layout.SetTop(picNchi[i], layout.Top(picNchi[0]));
        layout.SetLeft(picNchi[i], layout.Left(picNchi[0]));
        layout.SetTop(picSoData[i], layout.Top(picSoData[0]));
        layout.SetLeft(picSoData[i], layout.Left(picSoData[0]));
    }
    for (size_t i = 1; i < 3; ++i) {
        layout.SetTop(picShow[i], layout.Top(picShow[0]));
        layout.SetLeft(picShow[i], layout.Left(picShow[0]));
    }

    ShowDocument();
    Form_Resize();
    picShow_Resize(0);
    IsChanged = false;
    loading_ = false;
}

// The window is made (Form_Load) before start-up has read the settings file
// and the project file, so that their messages have a window to stand over;
// FormLoad, start-up's last step, shows what they brought: the soil-name
// tables and the document. The layout needs no second pass: a resize after
// the first load, such as the saved placement, lays the window out itself.
void frmMain::FormLoad() {
    SetSoilDefList();
    ShowDocument();
    picShow_Resize(0);
    IsChanged = false;
}

void frmMain::ShowDocument() {
    SetCaption();
    SetCalcCondition();
    Recalculate();
    DrawViews(kViewWhole);
    SetSpreadE();
    ShowResult();
    SetKihonText();
    SetSpreadN();
    SetSpreadS();
    DrawViews(kViewWhole);
}

void frmMain::Form_Activate() {
    SetEditMenu();
}

QString frmMain::Caption() const {
    if (doc.currentFileName.empty())
        return QString::fromUtf8(kProgramCaption);
    return QString::fromStdString(RemoveExtension(doc.currentFileName)) + QStringLiteral(" - ") +
           QString::fromUtf8(kProgramCaption);
}

void frmMain::SetCaption() {
    setWindowTitle(Caption());
}

// ---------------------------------------------------------------------------
// Recent files, toolbar, Edit enabling

void frmMain::SetMruMenu() {
    // The separator stands below the entries whenever one shows: a slot the
    // settings left empty may come before a listed file.
    mnuFileList[6]->setVisible(std::any_of(settings.recentFiles.begin(),
                                           settings.recentFiles.begin() + 5,
                                           [](const std::string& path) { return !path.empty(); }));
    for (size_t i = 1; i <= 5; ++i) {
        const std::string& path = settings.recentFiles[i - 1];
        if (!path.empty()) {
            // An "&" of the path must not become an access key.
            QString caption = QString::fromStdString(CompactPath(path, 30));
            caption.replace(u'&', QStringLiteral("&&"));
            mnuFileList[i]->setText(caption);
            mnuFileList[i]->setVisible(true);
        } else {
            mnuFileList[i]->setVisible(false);
        }
    }
}

namespace {

// The toolbar's buttons in their order. Each stands for the menu item named
// `menuItem` (the object name of its action): a click runs that item's
// command, and the button is enabled whenever the item is.
struct ToolbarButton {
    const char* key;
    int resource;
    const char* tooltip;
    bool separatorAfter;
    const char* menuItem;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {"NEW", 131, "新規作成", false, "mnuFileNew"},
    {"OPEN", 132, "開く", false, "mnuFileOpen"},
    {"SAVE", 133, "上書き保存", false, "mnuFileSave"},
    {"SAVEAS", 134, "名前を付けて保存", false, "mnuFileSaveAs"},
    {"PRINTOUT", 142, "印刷", true, "mnuFilePrint"},
    {"COPY", 124, "コピ－", false, "mnuEditCopy"},
    {"PASTE", 125, "貼り付け", false, "mnuEditPaste"},
    {"CLEAR", 120, "クリア", false, "mnuEditClear"},
    {"ROWCUT", 1232, "行切り取り", false, "mnuEditCutRow"},
    {"ROWCOPY", 1242, "行コピ－", false, "mnuEditCopyRow"},
    {"ROWPASTE", 1252, "行貼り付け", false, "mnuEditPasteRow"},
    {"ROWINSERT", 1212, "行挿入", false, "mnuEditInsertRow"},
    {"ROWCLEAR", 1202, "行クリア", false, "mnuEditClearRow"},
    {"ROWDELETE", 1222, "行削除", false, "mnuEditDeleteRow"},
    {"BCOPY", 126, "下方へコピ－", false, "mnuEditCopyUnder"},
    {"BDELETE", 127, "以降すべて削除", true, "mnuEditDeleteUnderAll"},
    {"PASSET", 181, "パス設定", true, "mnuOptionPath"},
    {"HELP", 139, "ヘルプ", false, "mnuHelpIndex"},
};

// The menu item that the toolbar button `key` stands for; nullptr for a key
// that names no button.
QAction* ToolbarMenuItem(const QMenuBar* menus, const QString& key) {
    for (const ToolbarButton& b : kToolbarButtons)
        if (key == QLatin1String(b.key))
            return menus->findChild<QAction*>(QString::fromLatin1(b.menuItem));
    return nullptr;
}

}  // namespace

void frmMain::SetToolbar() {
    for (const ToolbarButton& b : kToolbarButtons)
        ImageList1[QString::fromLatin1(b.key)] = ToolbarImage(b.resource);
    for (const ToolbarButton& b : kToolbarButtons) {
        QString key = QString::fromLatin1(b.key);
        QAction* button = Toolbar1->addAction(ImageList1[key], QString::fromUtf8(b.tooltip));
        button->setObjectName(key);
        button->setToolTip(QString::fromUtf8(b.tooltip));
        button->setStatusTip(QString::fromUtf8(b.tooltip));
        connect(button, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        if (QAction* item = ToolbarMenuItem(menuBar(), key)) {
            button->setEnabled(item->isEnabled());
            connect(item, &QAction::enabledChanged, button, &QAction::setEnabled);
        }
        Toolbar1Buttons[key] = button;
        if (b.separatorAfter)
            Toolbar1->addSeparator();
    }
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setMovable(false);
}

void frmMain::Toolbar1_ButtonClick(const QString& key) {
    if (QAction* item = ToolbarMenuItem(menuBar(), key))
        item->trigger();
}

QWidget* frmMain::ActiveControl() const {
    QWidget* focus = focusWidget();
    // A menu chosen from the keyboard takes the focus while it is open; its
    // command belongs to the control that had the focus before.
    if (focus == nullptr || qobject_cast<QMenuBar*>(focus) != nullptr ||
        qobject_cast<QMenu*>(focus) != nullptr)
        return lastFocusControl_.data();
    for (QWidget* w = focus; w != nullptr && w != this; w = w->parentWidget()) {
        if (w == vaSpreadN || w == vaSpreadS || w == vaSpreadE)
            return w;
    }
    return focus;
}

void frmMain::SetEditMenu() {
    QWidget* active = ActiveControl();
    bool inInput = active != nullptr && (active == vaSpreadS || active == vaSpreadN);
    bool inResult = active != nullptr && active == vaSpreadE;
    bool hasText = !services.ClipboardText().empty();

    mnuEditCopy->setEnabled(inInput || inResult);
    mnuEditPaste->setEnabled(inInput && hasText);
    mnuEditPasteRow->setEnabled(inInput && hasText);
    for (QAction* item :
         {mnuEditClear, mnuEditCutRow, mnuEditCopyRow, mnuEditInsertRow, mnuEditClearRow,
          mnuEditDeleteRow, mnuEditCopyUnder, mnuEditDeleteUnderAll})
        item->setEnabled(inInput);
    // The toolbar buttons follow their menu items (SetToolbar).
}

void frmMain::MoveFocus(QWidget* control, int step) {
    int k = 0;
    for (int j = 0; j < 7; ++j)
        if (FocusOrder[static_cast<size_t>(j)] == control && control != nullptr)
            k = j;
    int i = k + step;
    // Bounded so that an order without any usable control cannot loop.
    for (int tries = 0; tries < 16; ++tries) {
        if (i < 0 || i > 6)
            i = 0;
        QWidget* target = FocusOrder[static_cast<size_t>(i)];
        if (target != nullptr && !target->isHidden() && target->isEnabled()) {
            target->setFocus(Qt::OtherFocusReason);
            return;
        }
        i += step;
    }
}

// ---------------------------------------------------------------------------
// Resize layout and splitter

int frmMain::InnerWidth() const {
    return layout.ToTwipsX(centralWidget()->width());
}

int frmMain::InnerHeight() const {
    return layout.ToTwipsY(centralWidget()->height());
}

void frmMain::Form_Resize() {
    if (LoadClientWidth == 0)
        return;  // before the load measured the design
    QRect frame = frameGeometry();
    int outerLeft = layout.ToTwipsX(frame.x());
    int outerTop = layout.ToTwipsY(frame.y());
    int outerWidth = layout.ToTwipsX(frame.width());
    int outerHeight = layout.ToTwipsY(frame.height());
    bool normal =
        !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));

    if (normal && !PlacingWindow) {
        WindowPlacement& place = settings.windowPlacement;
        if (outerLeft > place.left && outerWidth < LoadClientWidth) {
            outerLeft = place.left;
            outerWidth = LoadClientWidth;
            move(layout.ToPixelsX(outerLeft), frame.y());
            resize(layout.ToPixelsX(outerWidth) - (frame.width() - width()), height());
        }
        if (outerTop > place.top && outerHeight < LoadClientHeight) {
            outerTop = place.top;
            outerHeight = LoadClientHeight;
            move(pos().x(), layout.ToPixelsY(outerTop));
            resize(width(), layout.ToPixelsY(outerHeight) - (frame.height() - height()));
        }
        place.left = outerLeft;
        place.top = outerTop;
        place.width = outerWidth;
        place.height = outerHeight;
    }
    if (windowState() & Qt::WindowMinimized)
        return;

    int W = InnerWidth();
    int H = InnerHeight();
    if (normal) {
        // The smallest inner size is the size at load.
        if (W < LoadClientWidth || H < LoadClientHeight) {
            resize(width() + layout.ToPixelsX(std::max(0, LoadClientWidth - W)),
                   height() + layout.ToPixelsY(std::max(0, LoadClientHeight - H)));
            W = std::max(W, LoadClientWidth);
            H = std::max(H, LoadClientHeight);
        }
    }

    int nTabTop = layout.Top(tabNchi);
    if (H - LowerPaneHeight < nTabTop + 1200)
        LowerPaneHeight = H - (nTabTop + 1200);

    int dW = W - LoadClientWidth;
    int dH = H - LoadClientHeight;
    int up = dH - (LowerPaneHeight - LoadLowerPaneHeight);
    int down = LowerPaneHeight - LoadLowerPaneHeight;

    layout.SetWidth(Toolbar1, W);
    layout.Set(StatusBar1, {0, H - kStatusBarHeight, W, kStatusBarHeight});

    layout.SetWidth(tabShow, LoadFigureTabWidth + dW);
    layout.SetWidth(picShow[0], LoadFigureTabWidth + dW - 120);
    layout.SetWidth(picShow[1], LoadFigureTabWidth + dW - 120);
    layout.SetHeight(tabShow, LoadFigureTabHeight + up);
    layout.SetHeight(picShow[0], LoadFigureTabHeight + up - 420);
    layout.SetHeight(picShow[1], LoadFigureTabHeight + up - 420);
    for (QWidget* w : std::initializer_list<QWidget*>{txtKihon, cmdKihonData, tabNchi})
        layout.SetLeft(w, LoadNTabLeft + dW);
    layout.SetLeft(picNchi[0], layout.Left(tabNchi) + 120);
    layout.SetLeft(picNchi[1], layout.Left(tabNchi) + 120);
    layout.SetHeight(tabNchi, LoadNTabHeight + up);
    layout.SetHeight(picNchi[0], layout.Height(tabNchi) - 560);
    layout.SetHeight(picNchi[1], layout.Height(tabNchi) - 560);
    layout.SetHeight(vaSpreadN, layout.Height(picNchi[0]) - 60);
    layout.SetTop(picSplit, H - LowerPaneHeight);
    layout.SetTop(tabSoData, layout.Top(picSplit) + SplitToSoilTabGap);
    layout.SetTop(picSoData[0], layout.Top(tabSoData) + 420);
    layout.SetTop(picSoData[1], layout.Top(tabSoData) + 420);
    layout.SetWidth(tabSoData, LoadSoilTabWidth + dW);
    layout.SetWidth(picSoData[0], layout.Width(tabSoData) - 240);
    layout.SetWidth(picSoData[1], layout.Width(tabSoData) - 240);
    layout.SetWidth(vaSpreadS, layout.Width(picSoData[0]) - 2400);
    layout.SetLeft(frmSoilName, layout.Width(vaSpreadS) + 120);
    layout.SetHeight(tabSoData, LoadSoilTabHeight + down);

    if (layout.Height(tabSoData) > 1500) {
        layout.SetHeight(picSoData[0], layout.Height(tabSoData) - 560);
        layout.SetHeight(picSoData[1], layout.Height(tabSoData) - 560);
        layout.SetHeight(vaSpreadS, layout.Height(picSoData[0]) - 60);
        layout.SetHeight(frmSoilName, layout.Height(picSoData[0]) - 60);
        layout.SetTop(cmdSoilNameCopy,
                      layout.Height(frmSoilName) - layout.Height(cmdSoilNameCopy) - 60);
        double half = (layout.Top(cmdSoilNameCopy) - layout.Top(lstSoilDef[0])) / 2.0;
        layout.SetHeight(lstSoilDef[0], Nearest(half - 30));
        layout.SetTop(lstSoilDef[1], Nearest(layout.Top(lstSoilDef[0]) + half));
        layout.SetHeight(lstSoilDef[1], layout.Height(lstSoilDef[0]));
        layout.SetTop(lblSoilDef[1], layout.Top(lstSoilDef[1]));
    }

    layout.SetWidth(picShow[2], layout.Width(tabShow) - 240);
    layout.SetWidth(vaSpreadE, layout.Width(picShow[2]) - 60);
    layout.SetHeight(picShow[2], layout.Height(tabShow) - 560);
    layout.SetHeight(vaSpreadE, layout.Height(picShow[2]) - 120);
    layout.SetWidth(lblCalcComent, layout.Width(picShow[2]) - 120);
    layout.SetHeight(lblCalcComent, layout.Height(picShow[2]) - 1000);
}

void frmMain::Form_DragDrop(QWidget* source, int /*x*/, int y) {
    if (source != picSplit)
        return;
    int H = InnerHeight();
    LowerPaneHeight = H - y;
    int limit = layout.Top(tabNchi) + 1200;
    if (limit > y)
        LowerPaneHeight = H - limit;
    if (LowerPaneHeight < 420)
        LowerPaneHeight = 420;
    Form_Resize();
}

// ---------------------------------------------------------------------------
// Closing

void frmMain::mnuFileEnd_Click() {
    close();
}

bool frmMain::Form_QueryUnload() {
    return SaveChangesFirst();
}

void frmMain::Form_Unload() {
    WindowPlacement& place = settings.windowPlacement;
    bool minimized = windowState() & Qt::WindowMinimized;
    bool maximized = windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    if (!minimized && !maximized) {
        QRect frame = frameGeometry();
        place.left = layout.ToTwipsX(frame.x());
        place.top = layout.ToTwipsY(frame.y());
        place.width = layout.ToTwipsX(frame.width());
        place.height = layout.ToTwipsY(frame.height());
    }
    place.state = minimized ? 1 : maximized ? 2 : 0;
    if (!settings.iniFile.empty())
        SaveSettingsReportingFailure(settings, services);
}

namespace {

// Runs `onInput` at the first key or mouse press the program receives.
class InputWatch : public QObject {
  public:
    explicit InputWatch(std::function<void()> onInput) : onInput_(std::move(onInput)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            onInput_();
        return false;
    }

  private:
    std::function<void()> onInput_;
};

}  // namespace

bool frmMain::SessionEnding(bool mayAsk) {
    // Without leave to ask, the program asks nothing; the close that ends
    // the session asks if the desktop gives it the time.
    if (!mayAsk || unloaded_)
        return true;
    if (!SaveChangesFirst())
        return false;
    sessionAnswered_ = true;
    if (!sessionInputWatch_) {
        sessionInputWatch_ = std::make_unique<InputWatch>([this] {
            sessionAnswered_ = false;
            qApp->removeEventFilter(sessionInputWatch_.get());
        });
    }
    qApp->installEventFilter(sessionInputWatch_.get());
    return true;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        // キャンセル, a cancelled Save As or a failed write keeps the window
        // open with the edits. At the end of a session the question has
        // already been answered.
        if (!sessionAnswered_ && !Form_QueryUnload()) {
            event->ignore();
            return;
        }
        Form_Unload();
        unloaded_ = true;
    }
    event->accept();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
    else if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (ConditionKey(static_cast<QWidget*>(watched), key->key()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Shared steps

void frmMain::Recalculate() {
    CalcLiquefaction(doc, *labelSink_, library);
}

void frmMain::DrawViews(int view) {
    ::DrawViews(canvases, doc, view);
}

void frmMain::RecalculateAndRedraw() {
    Recalculate();
    ShowResult();
    DrawViews(kViewFlMarks);
    picShow_Paint(0);
}

CalcMessageSink& frmMain::CalcMessages() {
    return *labelSink_;
}

clsPrinter& frmMain::Printer() {
    if (!printer_) {
        if (!printSystem_)
            printSystem_ = std::make_unique<QtPrintSystem>();
        printer_ = std::make_unique<clsPrinter>(*printSystem_, services);
    }
    return *printer_;
}

void frmMain::SetPrintSystem(std::unique_ptr<PrintSystem> system) {
    printSystem_ = std::move(system);
}

clsSpreadIn& frmMain::SpreadInN() {
    if (!spreadInN_)
        spreadInN_ = std::make_unique<clsSpreadIn>(services);
    return *spreadInN_;
}

clsSpreadIn& frmMain::SpreadInS() {
    if (!spreadInS_)
        spreadInS_ = std::make_unique<clsSpreadIn>(services);
    return *spreadInS_;
}

clsSpreadIn& frmMain::SpreadInE() {
    if (!spreadInE_)
        spreadInE_ = std::make_unique<clsSpreadIn>(services);
    return *spreadInE_;
}
