#include "CMSFlexGrid.h"

#include "report/CTextGrid.h"

#include <QHeaderView>
#include <QMouseEvent>

CMSFlexGrid::CMSFlexGrid(int rows, int cols, int fixedRows, int fixedCols, QWidget* parent)
    : QTableWidget(rows, cols, parent), m_fixedRows(fixedRows), m_fixedCols(fixedCols) {
    // The fixed rows and columns are the headers: the widget's own headers
    // stay hidden.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultSectionSize(fontMetrics().horizontalAdvance("0000.0000") + 12);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setContextMenuPolicy(Qt::NoContextMenu);
    RestyleAll();
    FocusFirstDataCell();
}

void CMSFlexGrid::FocusFirstDataCell() {
    // The keyboard starts on the first data cell, never on a header.
    if (rowCount() > m_fixedRows && columnCount() > m_fixedCols)
        setCurrentCell(m_fixedRows, m_fixedCols, QItemSelectionModel::NoUpdate);
}

void CMSFlexGrid::SetRows(int rows) {
    const int before = rowCount();
    setRowCount(rows < 0 ? 0 : rows);
    for (int r = before; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            SetTextMatrix(r, c, QString());
}

void CMSFlexGrid::SetCols(int cols) {
    const int before = columnCount();
    setColumnCount(cols < 0 ? 0 : cols);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = before; c < columnCount(); ++c)
            SetTextMatrix(r, c, QString());
}

void CMSFlexGrid::SetFixedRows(int rows) {
    m_fixedRows = rows;
    RestyleAll();
}

void CMSFlexGrid::SetFixedCols(int cols) {
    m_fixedCols = cols;
    RestyleAll();
}

QString CMSFlexGrid::GetTextMatrix(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void CMSFlexGrid::SetTextMatrix(int row, int col, const QString& text) {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount())
        return;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        StyleCell(row, col, it);
        setItem(row, col, it);
    }
    it->setText(text);
}

void CMSFlexGrid::SetTextArray(int index, const QString& text) {
    if (columnCount() > 0 && index >= 0)
        SetTextMatrix(index / columnCount(), index % columnCount(), text);
}

QString CMSFlexGrid::GetTextArray(int index) const {
    if (columnCount() <= 0 || index < 0)
        return QString();
    return GetTextMatrix(index / columnCount(), index % columnCount());
}

CTextGrid CMSFlexGrid::ToTextGrid() const {
    CTextGrid grid(rowCount(), columnCount());
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            grid.SetText(r, c, GetTextMatrix(r, c).toStdString());
    return grid;
}

void CMSFlexGrid::ShowTextGrid(const CTextGrid& grid) {
    setUpdatesEnabled(false);
    setRowCount(grid.GetRows());
    setColumnCount(grid.GetCols());
    for (int r = 0; r < grid.GetRows(); ++r)
        for (int c = 0; c < grid.GetCols(); ++c)
            SetTextMatrix(r, c, QString::fromStdString(grid.GetText(r, c)));
    FocusFirstDataCell();
    setUpdatesEnabled(true);
}

void CMSFlexGrid::StyleCell(int row, int col, QTableWidgetItem* item) const {
    const bool fixed = row < m_fixedRows || col < m_fixedCols;
    item->setFlags(fixed ? Qt::ItemIsEnabled : (Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    item->setBackground(fixed ? palette().button() : palette().base());
    item->setForeground(fixed ? palette().buttonText() : palette().text());
    item->setTextAlignment(fixed ? Qt::AlignCenter : (Qt::AlignRight | Qt::AlignVCenter));
}

void CMSFlexGrid::RestyleAll() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* it = item(r, c);
            if (!it) {
                it = new QTableWidgetItem;
                setItem(r, c, it);
            }
            StyleCell(r, c, it);
        }
}

void CMSFlexGrid::mousePressEvent(QMouseEvent* event) {
    short button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = leftButton;
        break;
    case Qt::RightButton:
        button = rightButton;
        break;
    case Qt::MiddleButton:
        button = middleButton;
        break;
    default:
        break;
    }
    short shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    const QPoint at = mapFromGlobal(event->globalPosition().toPoint());
    if (button != rightButton)
        QTableWidget::mousePressEvent(event);
    if (button != 0)
        emit MouseDown(button, shift, at.x(), at.y());
}
