// The result grid of the calculation dialogs: text cells by row and column
// (from 0), the first rows and columns fixed as headers, resizing that keeps
// the cells that remain, and a notification when a mouse button goes down.
#pragma once

#include <QTableWidget>

class CTextGrid;

class CMSFlexGrid : public QTableWidget {
    Q_OBJECT
public:
    // Mouse button codes of the MouseDown notification.
    enum : short { leftButton = 1, rightButton = 2, middleButton = 4 };

    CMSFlexGrid(int rows, int cols, int fixedRows, int fixedCols, QWidget* parent = nullptr);

    int GetRows() const { return rowCount(); }
    void SetRows(int rows);
    int GetCols() const { return columnCount(); }
    void SetCols(int cols);
    int GetFixedRows() const { return m_fixedRows; }
    void SetFixedRows(int rows);
    int GetFixedCols() const { return m_fixedCols; }
    void SetFixedCols(int cols);

    QString GetTextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);
    // The cell at row index / columns, column index % columns.
    void SetTextArray(int index, const QString& text);
    QString GetTextArray(int index) const;

    // The grid as the calculations and the clipboard see it, and back: the
    // size and every cell of a computed table.
    CTextGrid ToTextGrid() const;
    void ShowTextGrid(const CTextGrid& grid);

signals:
    // button: leftButton, rightButton or middleButton; shift: 1 Shift,
    // 2 Ctrl, 4 Alt; x, y in pixels within the grid.
    void MouseDown(short button, short shift, int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void StyleCell(int row, int col, QTableWidgetItem* item) const;
    void FocusFirstDataCell();
    void RestyleAll();

    int m_fixedRows = 0;
    int m_fixedCols = 0;
};
