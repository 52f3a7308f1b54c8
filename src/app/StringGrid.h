#pragma once
// TStringGrid: a grid of texts with fixed header rows, for the energy and
// logger tables. It keeps plain strings per row (nothing per cell beyond the
// text), so a logger of 171,000 rows fills in a fraction of a second. Rows
// below the fixed ones may instead be served on demand by a provider.
#include <QString>
#include <QTableView>
#include <functional>
#include <vector>

class QPainter;
class TStringGridModel;
class TStringGridHeader;

class TStringGrid : public QTableView {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    int RowCount() const;
    void SetRowCount(int rows); // includes the fixed rows
    int ColCount() const;
    void SetColCount(int cols);
    int FixedRows() const;
    void SetFixedRows(int n); // header rows at the top, kept in view when scrolling

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int h);

    // Serves the rows at and below FixedRows() instead of the stored cells.
    using CellProvider = std::function<QString(int col, int row)>;
    void SetCellProvider(CellProvider p);

    // Paints one cell itself; returning false lets the default painting run.
    using DrawCellHook =
        std::function<bool(QPainter& p, const QRect& rect, int col, int row, bool fixed, bool selected)>;
    void SetDrawCellHook(DrawCellHook h);

    // Told the cell the user (or SetRow) made current.
    using SelectCellHook = std::function<void(int col, int row)>;
    void SetSelectCellHook(SelectCellHook h);

    int Row() const; // selected row, counted like Cells (fixed rows included); -1 before any selection
    void SetRow(int row);

    void Refresh(); // repaint after bulk changes

    // The painting every cell gets unless a hook takes over: fill with the
    // background, text 2 pixels right of and 3 below the top-left corner.
    static void DrawCellText(QPainter& p, const QRect& rect, const QString& text, const QColor& font,
                             const QColor& brush);

    // Used by the delegate and header: paints the cell through the hook or the default.
    void PaintCell(QPainter& p, const QRect& rect, int col, int row, bool fixed, bool selected) const;

private:
    void ScheduleRepaint();
    void UpdateHeaderHeight();

    TStringGridModel* model_;
    TStringGridHeader* header_;
    DrawCellHook drawHook_;
    SelectCellHook selectHook_;
    bool repaintPending_ = false;
};
