#include "ElementPresentation.h"

#include "model/CShipElement.h"
#include "ui/app/UiLayer.h"

#include <QPixmap>
#include <QStringDecoder>

QString ElementNameText(const std::string& name) {
    const QByteArrayView bytes(name.data(), static_cast<qsizetype>(name.size()));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QIcon ElementIcon(int kind, bool enabled) {
    const char* base = kind == kindHull          ? "element-hull"
                       : kind == kindCompartment ? "element-compartment"
                       : kind == kindTank        ? "element-tank"
                                                 : nullptr;
    if (base == nullptr)
        return QIcon();
    LoadAppResources();
    QString path = QString(":/icons/") + base;
    if (!enabled)
        path += "-disabled";
    path += ".png";
    // The same picture whether the item is selected or not: no tint.
    const QPixmap pixmap(path);
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}
