#include "ui/grid/spread_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace {

// Editors that keep to the column's input length; static cells get none.
class SpreadDelegate : public QStyledItemDelegate {
  public:
    explicit SpreadDelegate(SpreadGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        int col = index.column() + 1;
        if (grid_->ColumnType(col) == SpreadCellType::Static)
            return nullptr;
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        // A right click on the open editor opens the grid's own menu, not
        // the text box's.
        editor->setContextMenuPolicy(Qt::NoContextMenu);
        if (int length = grid_->ColumnMaxLength(col); length > 0)
            editor->setMaxLength(length);
        if (QTableWidgetItem* item = grid_->item(index.row(), index.column()))
            editor->setAlignment(Qt::Alignment(item->textAlignment()));
        grid_->SetUpEditor(col, *editor);
        (void)option;
        return editor;
    }

  protected:
    // Ctrl+Tab in an editor leaves the grid, as it does outside editing,
    // rather than going to the next cell as Tab does.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
                (key->modifiers() & Qt::ControlModifier) && !(key->modifiers() & Qt::AltModifier)) {
                grid_->FocusNextControl(key->key() == Qt::Key_Tab &&
                                        !(key->modifiers() & Qt::ShiftModifier));
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    SpreadGrid* grid_;
};

// The column header: headings break before their unit (HeadingLines).
class SpreadHeader : public QHeaderView {
  public:
    explicit SpreadHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setSectionsClickable(true);
        setHighlightSections(true);
    }

    // The height that shows every shown column's heading lines whole.
    int HeadingsHeight() const {
        int height = 0;
        for (int i = 0; i < count(); ++i)
            if (!isSectionHidden(i))
                height = std::max(height, sectionSizeFromContents(i).height());
        return height;
    }

  protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        option->text = Shown(option->text, logicalIndex);
    }

    QSize sectionSizeFromContents(int logicalIndex) const override {
        QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
        QString text = model() != nullptr
                           ? model()->headerData(logicalIndex, orientation()).toString()
                           : QString();
        QString shown = Shown(text, logicalIndex);
        if (shown != text) {
            QRect lines = fontMetrics().boundingRect(QRect(0, 0, TextWidth(logicalIndex), 10000),
                                                     Qt::AlignCenter | Qt::TextWordWrap, shown);
            size.setHeight(std::max(size.height(), lines.height() + 2 * Margin()));
        }
        return size;
    }

  private:
    int Margin() const { return style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this); }
    int TextWidth(int logicalIndex) const { return sectionSize(logicalIndex) - 2 * Margin(); }
    QString Shown(const QString& text, int logicalIndex) const {
        if (!(defaultAlignment() & Qt::TextWordWrap))
            return text;
        return HeadingLines(text, fontMetrics(), TextWidth(logicalIndex));
    }
};

}  // namespace

std::vector<QStringList> ParseClipboardText(const std::string& text) {
    const QString all = QString::fromStdString(text);
    const qsizetype n = all.size();
    std::vector<QStringList> rows;
    QStringList row;
    qsizetype i = 0;
    auto lineEndAt = [&](qsizetype k) { return k < n && (all[k] == u'\r' || all[k] == u'\n'); };
    auto skipLineEnd = [&](qsizetype k) {
        if (all[k] == u'\r' && k + 1 < n && all[k + 1] == u'\n')
            return k + 2;
        return k + 1;
    };
    while (i < n) {
        QString cell;
        qsizetype end = i;  // just past the cell
        bool quoted = false;
        if (all[i] == u'"') {
            // Find the closing quote, skipping doubled ones.
            qsizetype k = i + 1;
            QString inner;
            bool closed = false;
            while (k < n) {
                if (all[k] == u'"') {
                    if (k + 1 < n && all[k + 1] == u'"') {
                        inner += u'"';
                        k += 2;
                        continue;
                    }
                    closed = true;
                    ++k;
                    break;
                }
                inner += all[k++];
            }
            if (closed) {
                quoted = true;
                // Text after the closing quote up to the cell's end is kept.
                while (k < n && all[k] != u'\t' && !lineEndAt(k))
                    inner += all[k++];
                cell = inner;
                end = k;
            }
        }
        if (!quoted) {
            while (end < n && all[end] != u'\t' && !lineEndAt(end))
                ++end;
            cell = all.mid(i, end - i);
        }
        row.append(cell);
        if (end >= n) {
            i = n;
            rows.push_back(row);
            row.clear();
            return rows;
        }
        if (all[end] == u'\t') {
            i = end + 1;
            if (i >= n) {
                // A TAB that ends the text ends an empty last cell.
                row.append(QString());
                rows.push_back(row);
                return rows;
            }
            continue;
        }
        i = skipLineEnd(end);
        rows.push_back(row);
        row.clear();
    }
    return rows;
}

QString HeadingLines(const QString& heading, const QFontMetrics& metrics, int width) {
    if (heading.contains(u'\n') || metrics.horizontalAdvance(heading) <= width)
        return heading;
    qsizetype unit = heading.lastIndexOf(u'(');
    if (unit <= 0)
        return heading;
    QString head = heading.left(unit).trimmed();
    if (head.isEmpty())
        return heading;
    return head + u'\n' + heading.mid(unit);
}

void UseDataEntryRows(QTableWidget& grid) {
    QFont font = grid.font();
    font.setPointSize(9);
    grid.setFont(font);
    const double pixelsPerTwip = grid.logicalDpiY() / 1440.0;
    grid.verticalHeader()->setMinimumSectionSize(
        static_cast<int>(std::nearbyint(240 * pixelsPerTwip)));
    grid.verticalHeader()->setDefaultSectionSize(
        static_cast<int>(std::nearbyint(270 * pixelsPerTwip)));
}

SpreadGrid::SpreadGrid(QWidget* parent) : QTableWidget(parent), columns_(1) {
    setHorizontalHeader(new SpreadHeader(this));
    setItemDelegate(new SpreadDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    QFont gridFont(QStringLiteral("IPAGothic"));
    gridFont.setStyleHint(QFont::TypeWriter);
    setFont(gridFont);
    connect(qApp, &QApplication::focusChanged, this, &SpreadGrid::OnFocusChanged);
    // A heading or a column width that changes may need more lines.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { RefitHeaderRow(); });
    // Row headings (the row numbers) never change the header row's height:
    // measuring every column heading for each of them would make a long
    // table slow to fill.
    connect(model(), &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation) {
                if (orientation == Qt::Horizontal)
                    RefitHeaderRow();
            });
}

int SpreadGrid::HeadingsHeight() const {
    if (const auto* header = dynamic_cast<const SpreadHeader*>(horizontalHeader()))
        return header->HeadingsHeight();
    return horizontalHeader()->sizeHint().height();
}

void SpreadGrid::SetHeaderRowHeight(int height) {
    headerRowHeight_ = height;
    RefitHeaderRow();
}

void SpreadGrid::RefitHeaderRow() {
    if (headerRowHeight_ < 0)
        return;
    int height = std::max(headerRowHeight_, HeadingsHeight());
    if (horizontalHeader()->minimumHeight() != height ||
        horizontalHeader()->maximumHeight() != height)
        horizontalHeader()->setFixedHeight(height);
}

SpreadGrid::~SpreadGrid() {
    // The base classes give up the focus while they are taken apart; that
    // change must not reach this part, which is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

void SpreadGrid::SetMaxCols(int cols) {
    int old = columnCount();
    setColumnCount(cols);
    columns_.resize(static_cast<size_t>(cols) + 1);
    for (int col = old + 1; col <= cols; ++col)
        for (int row = 1; row <= rowCount(); ++row)
            ApplyColumn(col, row);
}

void SpreadGrid::SetMaxRows(int rows) {
    int old = rowCount();
    setRowCount(rows);
    for (int row = old + 1; row <= rows; ++row)
        for (int col = 1; col <= columnCount(); ++col)
            ApplyColumn(col, row);
}

void SpreadGrid::CheckCell(int col, int row) const {
    if (col < 0 || row < 0 || col > columnCount() || row > rowCount())
        throw std::out_of_range("grid cell outside the grid");
}

QString SpreadGrid::Text(int col, int row) const {
    CheckCell(col, row);
    if (col == 0 && row == 0)
        return corner_;
    if (row == 0)
        return model()->headerData(col - 1, Qt::Horizontal).toString();
    if (col == 0)
        return model()->headerData(row - 1, Qt::Vertical).toString();
    QTableWidgetItem* cell = item(row - 1, col - 1);
    return cell != nullptr ? cell->text() : QString();
}

void SpreadGrid::SetText(int col, int row, const QString& text) {
    CheckCell(col, row);
    if (col == 0 && row == 0) {
        corner_ = text;
    } else if (row == 0) {
        if (QTableWidgetItem* header = horizontalHeaderItem(col - 1))
            header->setText(text);
        else
            setHorizontalHeaderItem(col - 1, new QTableWidgetItem(text));
    } else if (col == 0) {
        if (QTableWidgetItem* header = verticalHeaderItem(row - 1))
            header->setText(text);
        else
            setVerticalHeaderItem(row - 1, new QTableWidgetItem(text));
    } else {
        Cell(col, row)->setText(text);
    }
}

QTableWidgetItem* SpreadGrid::Cell(int col, int row) {
    QTableWidgetItem* cell = item(row - 1, col - 1);
    if (cell == nullptr) {
        ApplyColumn(col, row);
        cell = item(row - 1, col - 1);
    }
    return cell;
}

void SpreadGrid::ApplyColumn(int col, int row) {
    QTableWidgetItem* cell = item(row - 1, col - 1);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        setItem(row - 1, col - 1, cell);
    }
    const Column& column = columns_[static_cast<size_t>(col)];
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (column.type == SpreadCellType::Edit)
        flags |= Qt::ItemIsEditable;
    cell->setFlags(flags);
    cell->setTextAlignment(column.alignment);
}

void SpreadGrid::SetColumnCells(int col, SpreadCellType type, int maxLength,
                                Qt::Alignment alignment) {
    CheckCell(col, 0);
    if (col == 0)
        throw std::out_of_range("the row-header column has no cells to set");
    columns_[static_cast<size_t>(col)] = {type, maxLength, alignment};
    for (int row = 1; row <= rowCount(); ++row)
        ApplyColumn(col, row);
}

SpreadCellType SpreadGrid::ColumnType(int col) const {
    CheckCell(col, 0);
    return columns_[static_cast<size_t>(col)].type;
}

int SpreadGrid::ColumnMaxLength(int col) const {
    CheckCell(col, 0);
    return columns_[static_cast<size_t>(col)].maxLength;
}

void SpreadGrid::SetColumnEditorSetup(int col, std::function<void(QLineEdit&)> setup) {
    CheckCell(col, 0);
    if (setup)
        editorSetups_[col] = std::move(setup);
    else
        editorSetups_.erase(col);
}

void SpreadGrid::SetUpEditor(int col, QLineEdit& editor) const {
    if (auto found = editorSetups_.find(col); found != editorSetups_.end())
        found->second(editor);
}

int SpreadGrid::ActiveCol() const {
    return currentIndex().isValid() ? currentColumn() + 1 : 0;
}

int SpreadGrid::ActiveRow() const {
    return currentIndex().isValid() ? currentRow() + 1 : 0;
}

void SpreadGrid::SetActiveCell(int col, int row) {
    CheckCell(col, row);
    CommitEditor();
    bool wasInLeaveCell = inLeaveCell_;
    inLeaveCell_ = true;
    setCurrentCell(row - 1, col - 1, QItemSelectionModel::ClearAndSelect);
    inLeaveCell_ = wasInLeaveCell;
}

void SpreadGrid::CommitEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

SpreadBlock SpreadGrid::SelBlock() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) {
        if (!currentIndex().isValid())
            return {};
        return {ActiveCol(), ActiveRow(), ActiveCol(), ActiveRow()};
    }
    SpreadBlock block{ranges[0].leftColumn(), ranges[0].topRow(), ranges[0].rightColumn(),
                      ranges[0].bottomRow()};
    for (const QTableWidgetSelectionRange& range : ranges) {
        block.col1 = std::min(block.col1, range.leftColumn());
        block.row1 = std::min(block.row1, range.topRow());
        block.col2 = std::max(block.col2, range.rightColumn());
        block.row2 = std::max(block.row2, range.bottomRow());
    }
    return {block.col1 + 1, block.row1 + 1, block.col2 + 1, block.row2 + 1};
}

SpreadBlock SpreadGrid::Resolved(const SpreadBlock& block) const {
    SpreadBlock out = block;
    if (out.col1 < 0) {
        out.col1 = 1;
        out.col2 = columnCount();
    }
    if (out.row1 < 0) {
        out.row1 = 1;
        out.row2 = rowCount();
    }
    out.col1 = std::max(out.col1, 1);
    out.row1 = std::max(out.row1, 1);
    out.col2 = std::min(out.col2, columnCount());
    out.row2 = std::min(out.row2, rowCount());
    return out;
}

void SpreadGrid::SelectBlock(const SpreadBlock& block) {
    SpreadBlock b = Resolved(block);
    if (b.col1 > b.col2 || b.row1 > b.row2) {
        clearSelection();
        return;
    }
    QItemSelection selection(model()->index(b.row1 - 1, b.col1 - 1),
                             model()->index(b.row2 - 1, b.col2 - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::string SpreadGrid::BlockText(const SpreadBlock& block) const {
    SpreadBlock b = Resolved(block);
    QString text;
    for (int row = b.row1; row <= b.row2; ++row) {
        bool first = true;
        for (int col = b.col1; col <= b.col2; ++col) {
            if (isColumnHidden(col - 1))
                continue;
            if (!first)
                text += u'\t';
            first = false;
            QString cell = Text(col, row);
            if (cell.contains(u'\t') || cell.contains(u'\r') || cell.contains(u'\n') ||
                cell.contains(u'"')) {
                cell.replace(u'"', QStringLiteral("\"\""));
                cell = u'"' + cell + u'"';
            }
            text += cell;
        }
        text += QStringLiteral("\r\n");
    }
    return text.toStdString();
}

void SpreadGrid::PasteText(const SpreadBlock& block, const std::string& text) {
    SpreadBlock b = Resolved(block);
    std::vector<QStringList> rows = ParseClipboardText(text);
    qsizetype widest = 0;
    for (const QStringList& cells : rows)
        widest = std::max(widest, cells.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        int row = b.row1 + static_cast<int>(i);
        if (row > b.row2)
            break;
        // A short line (a blank one above all) is empty across the block.
        for (qsizetype j = 0; j < widest; ++j) {
            int col = b.col1 + static_cast<int>(j);
            if (col > b.col2)
                break;
            if (ColumnType(col) == SpreadCellType::Edit)
                Cell(col, row)->setText(j < rows[i].size() ? rows[i][j] : QString());
        }
    }
}

void SpreadGrid::ClearBlock(const SpreadBlock& block) {
    SpreadBlock b = Resolved(block);
    for (int row = b.row1; row <= b.row2; ++row)
        for (int col = b.col1; col <= b.col2; ++col)
            if (ColumnType(col) == SpreadCellType::Edit)
                Cell(col, row)->setText(QString());
}

void SpreadGrid::MoveBlock(const SpreadBlock& block, int destCol, int destRow) {
    SpreadBlock b = Resolved(block);
    if (b.col1 > b.col2 || b.row1 > b.row2)
        return;
    std::vector<QString> texts;
    for (int row = b.row1; row <= b.row2; ++row)
        for (int col = b.col1; col <= b.col2; ++col)
            texts.push_back(Text(col, row));
    ClearBlock(b);
    size_t k = 0;
    for (int row = b.row1; row <= b.row2; ++row) {
        for (int col = b.col1; col <= b.col2; ++col, ++k) {
            int toCol = destCol + (col - b.col1);
            int toRow = destRow + (row - b.row1);
            if (toCol < 1 || toRow < 1 || toCol > columnCount() || toRow > rowCount())
                continue;
            if (ColumnType(col) == SpreadCellType::Edit &&
                ColumnType(toCol) == SpreadCellType::Edit)
                Cell(toCol, toRow)->setText(texts[k]);
        }
    }
}

void SpreadGrid::SetRedraw(bool redraw) {
    setUpdatesEnabled(redraw);
    if (redraw)
        viewport()->update();
}

double SpreadGrid::TwipsPerPixelX() const {
    return 1440.0 / logicalDpiX();
}

double SpreadGrid::TwipsPerPixelY() const {
    return 1440.0 / logicalDpiY();
}

int SpreadGrid::ColWidthTwips(int col) const {
    if (col < 0)
        throw std::out_of_range("grid column outside the grid");
    int pixels = col == 0              ? verticalHeader()->sizeHint().width()
                 : col > columnCount() ? horizontalHeader()->defaultSectionSize()
                                       : columnWidth(col - 1);
    return static_cast<int>(std::nearbyint(pixels * TwipsPerPixelX()));
}

// The header row's height as the view lays it out: its natural height within
// the limits that a fixed height sets.
int SpreadGrid::HeaderRowHeight() const {
    const QHeaderView* header = horizontalHeader();
    if (header->isHidden())
        return 0;
    return std::min(std::max(header->minimumHeight(), header->sizeHint().height()),
                    header->maximumHeight());
}

int SpreadGrid::RowHeightTwips(int row) const {
    if (row < 0)
        throw std::out_of_range("grid row outside the grid");
    int pixels = row == 0           ? HeaderRowHeight()
                 : row > rowCount() ? verticalHeader()->defaultSectionSize()
                                    : rowHeight(row - 1);
    return static_cast<int>(std::nearbyint(pixels * TwipsPerPixelY()));
}

int SpreadGrid::ScrollBarWidthTwips() const {
    int pixels = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    return static_cast<int>(std::nearbyint(pixels * TwipsPerPixelX()));
}

int SpreadGrid::ScrollBarHeightTwips() const {
    int pixels = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalScrollBar());
    return static_cast<int>(std::nearbyint(pixels * TwipsPerPixelY()));
}

// One pixel, the border of a grid line.
int SpreadGrid::BorderWidthTwips() const {
    return static_cast<int>(std::nearbyint(TwipsPerPixelX()));
}

int SpreadGrid::BorderHeightTwips() const {
    return static_cast<int>(std::nearbyint(TwipsPerPixelY()));
}

void SpreadGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The base class commits an open editor into the cell it leaves first, so
    // the owner reads what was typed.
    QTableWidget::currentChanged(current, previous);
    // A cell removed with its row or column is not left by the user.
    if (inLeaveCell_ || !previous.isValid() || previous.row() >= rowCount() ||
        previous.column() >= columnCount())
        return;
    inLeaveCell_ = true;
    int newCol = current.isValid() ? current.column() + 1 : -1;
    int newRow = current.isValid() ? current.row() + 1 : -1;
    emit LeaveCell(previous.column() + 1, previous.row() + 1, newCol, newRow);
    inLeaveCell_ = false;
    // The owner held the cursor in the cell it was leaving; the key press
    // that moved it selects its target afterwards, so the selection goes
    // back once the key is handled.
    if (currentIndex() != current)
        heldByKey_ = true;
}

void SpreadGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (hint == QAbstractItemDelegate::SubmitModelCache) {
        // Return ends the edit with the cursor in place. The value is checked
        // now, as for a leave, so that the cell never shows a value that the
        // owner does not hold.
        QTableWidget::closeEditor(editor, hint);
        if (!inLeaveCell_ && currentIndex().isValid()) {
            inLeaveCell_ = true;
            emit LeaveCell(ActiveCol(), ActiveRow(), -1, -1);
            inLeaveCell_ = false;
        }
        return;
    }
    if (hint != QAbstractItemDelegate::EditNextItem &&
        hint != QAbstractItemDelegate::EditPreviousItem) {
        QTableWidget::closeEditor(editor, hint);
        return;
    }
    // Tab and Backtab move on and edit the next cell. The owner may hold the
    // cursor in the cell it leaves (a refused value); an editor then opens
    // nowhere, since what is typed into the next cell would never be read.
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
    QModelIndex next = moveCursor(
        hint == QAbstractItemDelegate::EditNextItem ? MoveNext : MovePrevious, Qt::NoModifier);
    if (!next.isValid())
        return;
    if (next == currentIndex()) {
        // At an end of the grid the cursor stays; the value is taken as
        // Return takes it, so that the cell never shows one the owner does
        // not hold.
        if (!inLeaveCell_) {
            inLeaveCell_ = true;
            emit LeaveCell(ActiveCol(), ActiveRow(), -1, -1);
            inLeaveCell_ = false;
        }
        return;
    }
    QPersistentModelIndex target(next);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    if (currentIndex() == target && (target.flags() & Qt::ItemIsEditable))
        edit(target);
}

void SpreadGrid::keyPressEvent(QKeyEvent* event) {
    bool clearKey = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (clearKey && state() != EditingState &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        emit ClearKeyPressed();
        return;
    }
    heldByKey_ = false;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool tabKey = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tabKey && (modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier)) {
        // Ctrl+Tab is the key that leaves a grid whose Tab goes from cell
        // to cell.
        event->accept();
        FocusNextControl(event->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
        return;
    }
    const bool enterKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enterKey && state() != EditingState && modifiers == Qt::NoModifier) {
        // Outside editing, Enter goes down a row as Down does (an edit's
        // Return only ends the edit in place).
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QTableWidget::keyPressEvent(&down);
        event->accept();
    } else {
        QTableWidget::keyPressEvent(event);
    }
    // Tab at an end of the grid stays there, rather than taking the focus
    // to the next control.
    if (tabKey && tabKeyNavigation() && !(modifiers & Qt::AltModifier))
        event->accept();
    if (heldByKey_ && currentIndex().isValid())
        SelectBlock({ActiveCol(), ActiveRow(), ActiveCol(), ActiveRow()});
    heldByKey_ = false;
}

QModelIndex SpreadGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if (current.isValid() && (cursorAction == MoveNext || cursorAction == MovePrevious)) {
        // The table view goes on from the last cell to the first one and
        // back, and stops at static cells; Tab and Shift+Tab do neither.
        const QModelIndex step = TabStep(current, cursorAction == MoveNext);
        if (step.isValid())
            return step;
        if (cursorAction == MoveNext && current.row() == rowCount() - 1 && GrowByOneRow())
            return model()->index(current.row() + 1, FirstEditableColumn());
        return current;
    }
    const QModelIndex next = QTableWidget::moveCursor(cursorAction, modifiers);
    if (!current.isValid() || !next.isValid())
        return next;
    // Shift extends the selection; only a plain key types on at the bottom.
    const bool plain = !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (cursorAction == MoveDown && plain && current.row() == rowCount() - 1 && GrowByOneRow())
        return model()->index(current.row() + 1, current.column());
    return next;
}

QModelIndex SpreadGrid::TabStep(const QModelIndex& from, bool forward) const {
    const int cols = columnCount();
    const int rows = rowCount();
    int row = from.row();
    int col = from.column();
    while (true) {
        col += forward ? 1 : -1;
        if (col >= cols) {
            col = 0;
            ++row;
        } else if (col < 0) {
            col = cols - 1;
            --row;
        }
        if (row < 0 || row >= rows)
            return {};
        if (isRowHidden(row) || isColumnHidden(col) ||
            ColumnType(col + 1) == SpreadCellType::Static)
            continue;
        return model()->index(row, col);
    }
}

void SpreadGrid::FocusNextControl(bool next) {
    CommitEditor();
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    // Past the view's own Tab handling, which goes from cell to cell.
    QWidget::focusNextPrevChild(next);
}

QRect SpreadGrid::CellRect(int col, int row) const {
    CheckCell(col, row);
    QRect cell = visualRect(model()->index(row - 1, col - 1));
    return cell.translated(viewport()->mapTo(this, QPoint(0, 0)));
}

void SpreadGrid::SetRowGrower(std::function<bool(int rows)> grow) {
    rowGrower_ = std::move(grow);
}

bool SpreadGrid::LastRowHoldsData() const {
    const int last = rowCount() - 1;
    if (last < 0)
        return false;
    for (int col = 0; col < columnCount(); ++col) {
        const QModelIndex index = model()->index(last, col);
        if (const auto* editor = qobject_cast<const QLineEdit*>(indexWidget(index)))
            if (!editor->text().trimmed().isEmpty())
                return true;
        const QTableWidgetItem* cell = item(last, col);
        if (cell != nullptr && !cell->text().trimmed().isEmpty())
            return true;
    }
    return false;
}

bool SpreadGrid::GrowByOneRow() {
    if (!rowGrower_ || editTriggers() == QAbstractItemView::NoEditTriggers)
        return false;
    // The value being left is checked first, as Return checks it: one the
    // owner refuses does not make the row hold data.
    if (!inLeaveCell_ && currentIndex().isValid()) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        inLeaveCell_ = true;
        leaveRefused_ = false;
        emit LeaveCell(ActiveCol(), ActiveRow(), -1, -1);
        inLeaveCell_ = false;
        // A refused value holds the cursor in its cell.
        if (std::exchange(leaveRefused_, false))
            return false;
    }
    if (!LastRowHoldsData())
        return false;
    const int rows = rowCount() + 1;
    // The grower may be cleared or replaced while it runs.
    std::function<bool(int)> grow = rowGrower_;
    return grow(rows) && rowCount() >= rows;
}

int SpreadGrid::FirstEditableColumn() const {
    for (int col = 1; col <= columnCount(); ++col)
        if (!isColumnHidden(col - 1) && ColumnType(col) == SpreadCellType::Edit)
            return col - 1;
    return 0;
}

void SpreadGrid::mousePressEvent(QMouseEvent* event) {
    heldByPress_ = false;
    QModelIndex pressed = indexAt(event->position().toPoint());
    QTableWidget::mousePressEvent(event);
    // The press made the clicked cell current and then selected it; when the
    // LeaveCell handler kept the cursor in the old cell, the selection goes
    // back to it, so that the commands work where the cursor is.
    QModelIndex current = currentIndex();
    if (pressed.isValid() && current.isValid() && current != pressed) {
        heldByPress_ = true;
        SelectBlock(
            {current.column() + 1, current.row() + 1, current.column() + 1, current.row() + 1});
    }
}

void SpreadGrid::mouseMoveEvent(QMouseEvent* event) {
    if (heldByPress_ && (event->buttons() & Qt::LeftButton))
        return;
    QTableWidget::mouseMoveEvent(event);
}

void SpreadGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    heldByPress_ = false;
}

bool SpreadGrid::Owns(const QWidget* widget) const {
    return widget != nullptr && (widget == this || isAncestorOf(widget));
}

void SpreadGrid::OnFocusChanged(QWidget* old, QWidget* now) {
    if (inLeaveCell_ || !Owns(old) || Owns(now) || !currentIndex().isValid())
        return;
    inLeaveCell_ = true;
    emit LeaveCell(ActiveCol(), ActiveRow(), -1, -1);
    inLeaveCell_ = false;
}
