// How the element dialogs show an element: its name, kept by the model as
// bytes, as text; and the icon of its kind.
#pragma once

#include <QIcon>
#include <QString>

#include <string>

// The name's bytes read as UTF-8, or as Latin-1 where they are not valid
// UTF-8 (names written by other programs), so that every name shows.
QString ElementNameText(const std::string& name);

// The icon of an element of kind (kindHull, kindCompartment, kindTank),
// enabled or disabled, the same when selected; a null icon for any other
// kind.
QIcon ElementIcon(int kind, bool enabled);
