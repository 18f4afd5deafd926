#include "GridMenu.h"

#include "CClipboardWriter.h"
#include "CMSFlexGrid.h"
#include "report/CTextGrid.h"
#include "ui/app/UiLayer.h"

#include <QMenu>

GridMenuChoice TrackGridMenu(CMSFlexGrid& grid, int x, int y) {
    QMenu menu("Grid", &grid);
    QAction* copy = menu.addAction("&Copia tabella");
    QAction* paste = menu.addAction("&Incolla");
    const QPoint at = grid.mapToGlobal(QPoint(0, 0)) + QPoint(x + 5, y);
    QAction* chosen = UserDialogs().TrackPopupMenu(menu, at);
    if (chosen == copy)
        return GridMenuChoice::copyTable;
    if (chosen == paste)
        return GridMenuChoice::paste;
    return GridMenuChoice::none;
}

void CopyGridToClipboard(const CMSFlexGrid& grid) {
    const CWaitCursor wait;
    CClipboardWriter writer(grid.window());
    writer.SetText(GridToText(grid.ToTextGrid(), 0, 0));
}
