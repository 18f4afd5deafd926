// The popup menu every result grid carries: "&Copia tabella" copies the
// grid whole to the clipboard, "&Incolla" is there and does nothing.
#pragma once

class CMSFlexGrid;

enum class GridMenuChoice { none, copyTable, paste };

// Shows the menu "Grid" for a right button pressed at (x, y) within the grid,
// at the grid's left edge + x + 5 and top edge + y on the screen, and returns
// the item chosen.
GridMenuChoice TrackGridMenu(CMSFlexGrid& grid, int x, int y);

// "&Copia tabella": the whole grid, header cells included, as TAB-separated
// text with CR LF between rows, on the clipboard; under the wait cursor.
void CopyGridToClipboard(const CMSFlexGrid& grid);
