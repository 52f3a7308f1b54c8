#include "app/StringGrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

#include "app/Text.h"

// Rows of the grid are counted including the fixed rows; the model only holds
// the scrolling rows (model row r is grid row r + fixed). The fixed rows are
// painted by the horizontal header so that they stay in view.
class TStringGridModel : public QAbstractTableModel {
public:
    explicit TStringGridModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : std::max(0, RowCount() - fixedRows);
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : colCount; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        return Cell(index.column(), index.row() + fixedRows);
    }
    QVariant headerData(int, Qt::Orientation, int) const override { return {}; }

    int RowCount() const { return static_cast<int>(rows.size()); }

    QString Cell(int col, int row) const
    {
        if (col < 0 || col >= colCount || row < 0 || row >= RowCount()) return {};
        if (provider && row >= fixedRows) return provider(col, row);
        const auto& r = rows[static_cast<size_t>(row)];
        return col < static_cast<int>(r.size()) ? r[static_cast<size_t>(col)] : QString();
    }

    bool SetCell(int col, int row, const QString& text)
    {
        if (col < 0 || col >= colCount || row < 0 || row >= RowCount()) return false;
        auto& r = rows[static_cast<size_t>(row)];
        if (static_cast<int>(r.size()) <= col) r.resize(static_cast<size_t>(colCount));
        r[static_cast<size_t>(col)] = text;
        return true;
    }

    void SetRowCount(int n)
    {
        n = std::max(0, n);
        const int oldScrolling = rowCount();
        const int newScrolling = std::max(0, n - fixedRows);
        if (newScrolling > oldScrolling) {
            beginInsertRows({}, oldScrolling, newScrolling - 1);
            rows.resize(static_cast<size_t>(n));
            endInsertRows();
        } else if (newScrolling < oldScrolling) {
            beginRemoveRows({}, newScrolling, oldScrolling - 1);
            rows.resize(static_cast<size_t>(n));
            rows.shrink_to_fit();
            endRemoveRows();
        } else {
            rows.resize(static_cast<size_t>(n));
        }
    }

    void SetColCount(int n)
    {
        n = std::max(0, n);
        if (n > colCount) {
            beginInsertColumns({}, colCount, n - 1);
            colCount = n;
            endInsertColumns();
        } else if (n < colCount) {
            beginRemoveColumns({}, n, colCount - 1);
            colCount = n;
            for (auto& r : rows)
                if (static_cast<int>(r.size()) > n) r.resize(static_cast<size_t>(n));
            endRemoveColumns();
        }
    }

    void SetFixedRows(int n)
    {
        beginResetModel();
        fixedRows = std::max(0, n);
        endResetModel();
    }

    void SetProvider(TStringGrid::CellProvider p)
    {
        beginResetModel();
        provider = std::move(p);
        endResetModel();
    }

    std::vector<std::vector<QString>> rows;
    int colCount = 0;
    int fixedRows = 0;
    TStringGrid::CellProvider provider;
};

namespace {

class TStringGridDelegate : public QStyledItemDelegate {
public:
    explicit TStringGridDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        p->save();
        p->setClipRect(option.rect);
        grid_->PaintCell(*p, option.rect, index.column(), index.row() + grid_->FixedRows(), false, selected);
        p->restore();
    }

private:
    TStringGrid* grid_;
};

} // namespace

// The fixed rows, stacked inside the column header sections.
class TStringGridHeader : public QHeaderView {
public:
    TStringGridHeader(TStringGrid* grid, TStringGridModel* model)
        : QHeaderView(Qt::Horizontal, grid), grid_(grid), model_(model)
    {
    }

protected:
    void paintSection(QPainter* p, const QRect& rect, int logicalIndex) const override
    {
        const int fixed = model_->fixedRows;
        if (fixed <= 0) return;
        const int h = grid_->DefaultRowHeight();
        for (int row = 0; row < fixed; ++row) {
            QRect cell(rect.left(), rect.top() + row * h, rect.width(), h);
            if (row == fixed - 1) cell.setBottom(rect.bottom());
            // One pixel of grid line to the right and below, as between body cells.
            const QRect inner = cell.adjusted(0, 0, -1, -1);
            p->save();
            p->fillRect(cell, grid_->palette().color(QPalette::Window));
            p->setClipRect(inner);
            grid_->PaintCell(*p, inner, logicalIndex, row, true, false);
            p->restore();
        }
    }

private:
    TStringGrid* grid_;
    TStringGridModel* model_;
};

TStringGrid::TStringGrid(QWidget* parent) : QTableView(parent), model_(new TStringGridModel(this))
{
    header_ = new TStringGridHeader(this, model_);
    header_->setSectionsClickable(false);
    header_->setHighlightSections(false);
    header_->setSectionResizeMode(QHeaderView::Interactive);
    header_->setMinimumSectionSize(4);
    header_->setStretchLastSection(false);
    setHorizontalHeader(header_);
    setModel(model_);
    setItemDelegate(new TStringGridDelegate(this));

    QHeaderView* vh = verticalHeader();
    vh->hide();
    vh->setSectionResizeMode(QHeaderView::Fixed);
    vh->setMinimumSectionSize(4);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    SetColCount(5);
    SetFixedRows(1);
    SetRowCount(5);
    SetDefaultRowHeight(24);
    for (int c = 0; c < ColCount(); ++c) SetColWidth(c, 64);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (current.isValid() && selectHook_) selectHook_(current.column(), current.row() + FixedRows());
            });
}

TStringGrid::~TStringGrid() = default;

int TStringGrid::RowCount() const { return model_->RowCount(); }

void TStringGrid::SetRowCount(int rows)
{
    model_->SetRowCount(rows);
    ScheduleRepaint();
}

int TStringGrid::ColCount() const { return model_->colCount; }

void TStringGrid::SetColCount(int cols)
{
    const int old = model_->colCount;
    model_->SetColCount(cols);
    for (int c = old; c < cols; ++c) header_->resizeSection(c, 64);
    ScheduleRepaint();
}

int TStringGrid::FixedRows() const { return model_->fixedRows; }

void TStringGrid::SetFixedRows(int n)
{
    const int current = Row();
    model_->SetFixedRows(n);
    header_->setVisible(n > 0);
    UpdateHeaderHeight();
    if (current >= 0) SetRow(current);
}

QString TStringGrid::Cell(int col, int row) const { return model_->Cell(col, row); }

void TStringGrid::SetCell(int col, int row, const QString& text)
{
    // No model signal per cell: a full logger fill would otherwise cost a view
    // update per cell. The visible area is repainted once, after the fill.
    if (model_->SetCell(col, row, text)) ScheduleRepaint();
}

int TStringGrid::ColWidth(int col) const { return header_->sectionSize(col); }

void TStringGrid::SetColWidth(int col, int width)
{
    if (col >= 0 && col < ColCount()) header_->resizeSection(col, std::max(0, width));
}

int TStringGrid::DefaultRowHeight() const { return verticalHeader()->defaultSectionSize(); }

void TStringGrid::SetDefaultRowHeight(int h)
{
    verticalHeader()->setDefaultSectionSize(std::max(4, h));
    UpdateHeaderHeight();
}

void TStringGrid::SetCellProvider(CellProvider p)
{
    const int current = Row();
    model_->SetProvider(std::move(p));
    if (current >= 0) SetRow(current);
}

void TStringGrid::SetDrawCellHook(DrawCellHook h)
{
    drawHook_ = std::move(h);
    Refresh();
}

void TStringGrid::SetSelectCellHook(SelectCellHook h) { selectHook_ = std::move(h); }

int TStringGrid::Row() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + FixedRows() : -1;
}

void TStringGrid::SetRow(int row)
{
    const int modelRow = row - FixedRows();
    if (modelRow < 0 || modelRow >= model_->rowCount()) return;
    const int col = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(model_->index(modelRow, std::max(0, std::min(col, ColCount() - 1))));
}

void TStringGrid::Refresh()
{
    viewport()->update();
    header_->viewport()->update();
}

void TStringGrid::ScheduleRepaint()
{
    if (repaintPending_) return;
    repaintPending_ = true;
    QTimer::singleShot(0, this, [this] {
        repaintPending_ = false;
        Refresh();
    });
}

void TStringGrid::UpdateHeaderHeight()
{
    const int h = FixedRows() * DefaultRowHeight();
    header_->setMinimumHeight(h);
    header_->setMaximumHeight(h);
    header_->setFixedHeight(h);
}

void TStringGrid::DrawCellText(QPainter& p, const QRect& rect, const QString& text, const QColor& font,
                               const QColor& brush)
{
    p.fillRect(rect, brush);
    p.setPen(font);
    p.drawText(rect.adjusted(2, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void TStringGrid::PaintCell(QPainter& p, const QRect& rect, int col, int row, bool fixed, bool selected) const
{
    p.setFont(font());
    if (drawHook_ && drawHook_(p, rect, col, row, fixed, selected)) return;
    const QString text = Cell(col, row);
    if (fixed)
        DrawCellText(p, rect, text, ToQColor(ClrBackground), ToQColor(ClrButtonFace));
    else if (selected)
        DrawCellText(p, rect, text, palette().color(QPalette::HighlightedText), palette().color(QPalette::Highlight));
    else
        DrawCellText(p, rect, text, palette().color(QPalette::Text), palette().color(QPalette::Base));
}
