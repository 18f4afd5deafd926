// How the element dialogs show an element: its name, kept by the model as
// bytes, as text; and the icon of its kind.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

#include <string>

class CShipElement;
class CShipModel;
struct CSurfaceCheck;

// The name's bytes read as UTF-8, or as Latin-1 where they are not valid
// UTF-8 (names written by other programs), so that every name shows.
QString ElementNameText(const std::string& name);

// The icon of an element of kind (kindHull, kindCompartment, kindTank),
// enabled or disabled, the same when selected; a null icon for any other
// kind.
QIcon ElementIcon(int kind, bool enabled);

// The problems of an element's surface in Italian, one text each: vertices
// that are not numbers, an open surface, edges of three faces, faces turned
// against their neighbours, inward normals (for a compartment, a flooded
// room). Empty when the surface is sound.
QStringList SurfaceProblemTexts(const CSurfaceCheck& surface, int kind);
// The same for an element's meshes together (CheckElement).
QStringList ElementProblemTexts(const CShipElement& element, int kind);

// Before a calculation: the enabled elements it reads (hull elements, and
// compartments and tanks as asked) whose surface is open or faces inwards
// are named, with all their problems, in one warning, and the person
// chooses to go on (true) or to stop.
bool GoOnDespiteSurfaceFaults(const CShipModel& ship, bool compartments, bool tanks);
