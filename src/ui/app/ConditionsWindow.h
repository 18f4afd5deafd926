// The "Condizioni di carico" window tied to the document: it shows the
// document's conditions and ship, and every edit it accepts becomes one
// undoable change of the document.
#pragma once

class CBrelundDoc;
class CConditionsDlg;

// window follows doc (an edit, undo and redo, New, Open, the ship's tanks
// changing) from now on and hands it its edits.
void ConnectConditionsWindow(CConditionsDlg& window, CBrelundDoc& doc);
