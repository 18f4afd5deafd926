#include "FieldExchange.h"

#include "platform/NumberText.h"
#include "ui/app/UiLayer.h"

#include <QLineEdit>

void RefuseField(QLineEdit* field, const QString& message) {
    AfxMessageBox(message, MB_OK | MB_ICONWARNING);
    if (field) {
        field->setFocus();
        field->selectAll();
    }
}

QLineEdit* NewNumberBox(const char* name, const char* widest) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(widest) + 14);
    return box;
}

QString FormatFieldNumber(double value) {
    return QString::fromStdString(FormatC("%.15g", value));
}

void SetFieldNumber(QLineEdit* field, double value) {
    field->setText(FormatFieldNumber(value));
}

bool ParseFieldNumber(const QString& text, double& value) {
    return ParseNumberC(text.trimmed().toStdString(), value);
}

bool GetFieldNumber(QLineEdit* field, double& value) {
    if (!ParseFieldNumber(field->text(), value)) {
        RefuseField(field, "Immettere un numero.");
        return false;
    }
    return true;
}

bool CheckFieldRange(QLineEdit* field, double value, double min, double max) {
    if (value >= min && value <= max)
        return true;
    RefuseField(field, QString("Immettere un numero compreso tra %1 e %2.")
                           .arg(FormatFieldNumber(min), FormatFieldNumber(max)));
    return false;
}
