#pragma once
// The grid of open blocks: a name column, a check-box column and a hidden path
// column (the text of the name's hint), drawn by hand.
//
// Only cells of the name column can be selected. The widget turns mouse and
// keyboard input into signals and shows what its owner writes into the cells; the
// block list behind the rows (TOpenBlocks) is the owner's.

#include <QTableWidget>

namespace orlo {

class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int ColName = 0;
    static constexpr int ColShow = 1;
    static constexpr int ColPath = 2;
    static constexpr int DefaultColWidth = 17;
    static constexpr int DefaultRowHeight = 17;
    static constexpr int VisibleColCount = 2;

    explicit TStringGrid(QWidget* parent = nullptr);

    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);
    int RowCount() const { return rowCount(); }
    void SetRowCount(int rows);
    // The selected row (0 when nothing is selected, as the grid always has one).
    int Row() const;
    // Selects a row of the name column without reporting it.
    void SetRowSilently(int row);
    // Removes a row; the rows below move up. The selection change is not reported.
    void RemoveRowSilently(int row);

    // Whether a point (viewport coordinates) toggles the check box of its cell:
    // strictly inside the cell shrunk by 2 pixels on each side.
    bool InCheckZone(int row, const QPoint& pos) const;
    // The cell rectangle in viewport coordinates.
    QRect CellRect(int row, int col) const { return visualRect(model()->index(row, col)); }

signals:
    // The user selected a cell of the name column.
    void RowSelected(int newRow);
    // The check box of a row was clicked; shown is the value it asks for.
    void CheckToggled(int row, bool shown);
    void CloseRequested(int row);
    void PopupRequested(int row, const QPoint& globalPos);
    void Resized();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void onCurrentCellChanged(int row, int col, int previousRow, int previousCol);

    int hintRow_ = -1;
    int hintCol_ = -1;
    int lastMouseCol_ = -1;
    bool silent_ = false;
};

}  // namespace orlo
