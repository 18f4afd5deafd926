// Numbers in a dialog's fields: written with up to 15 significant digits and
// "." as the decimal point whatever the locale, and read back the same way
// with the standard messages when a field does not hold a number or holds
// one out of its range (the field then gets the focus, its text selected).
#pragma once

#include <QString>

class QLineEdit;

// A right-aligned box for a number, named for tests, wide enough for the
// sample text.
QLineEdit* NewNumberBox(const char* name, const char* widest);

QString FormatFieldNumber(double value);
void SetFieldNumber(QLineEdit* field, double value);

// False, after "Immettere un numero.", when the text is not one finite number.
bool GetFieldNumber(QLineEdit* field, double& value);
// False, after "Immettere un numero compreso tra MIN e MAX.", outside [min, max].
bool CheckFieldRange(QLineEdit* field, double value, double min, double max);

// The refusal of a field's text: the message, then the field gets the
// focus with its text selected.
void RefuseField(QLineEdit* field, const QString& message);

// Parsing alone, for tests and callers that say nothing: blanks around the
// number are allowed, anything else is not.
bool ParseFieldNumber(const QString& text, double& value);
