#include "ElementPresentation.h"

#include "model/CShipElement.h"
#include "model/CShipModel.h"
#include "model/MeshCheck.h"
#include "platform/NumberText.h"
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

namespace {

// Italian counts: "1 spigolo", "2 spigoli".
QString Count(long long n, const char* one, const char* many) {
    return QString("%1 %2").arg(n).arg(n == 1 ? one : many);
}

QString Number(double value) {
    return QString::fromStdString(FormatC("%.6g", value));
}

} // namespace

QStringList SurfaceProblemTexts(const CSurfaceCheck& s, int kind) {
    QStringList problems;
    if (s.non_finite > 0)
        problems << Count(s.non_finite, "vertice con coordinate non numeriche",
                          "vertici con coordinate non numeriche");
    if (s.boundary_edges > 0)
        problems << QString("superficie aperta (%1, %2 m di bordo)")
                        .arg(Count(s.boundary_edges, "spigolo di bordo", "spigoli di bordo"),
                             Number(s.boundary_length));
    if (s.non_manifold > 0)
        problems << Count(s.non_manifold, "spigolo comune a tre o più facce",
                          "spigoli comuni a tre o più facce");
    if (s.flipped_faces > 0)
        problems << Count(s.flipped_faces, "faccia orientata al contrario delle vicine",
                          "facce orientate al contrario delle vicine");
    if (s.volume < 0) {
        if (kind == kindCompartment)
            problems << QString("versori verso l'interno: un locale allagato, spinta persa di %1 "
                                "m^3; se deve dare spinta, usare \"Inverti Versori\"")
                            .arg(Number(s.volume));
        else
            problems << QString("versori verso l'interno: volume negativo (%1 m^3); usare "
                                "\"Inverti Versori\"")
                            .arg(Number(s.volume));
    }
    return problems;
}

QStringList ElementProblemTexts(const CShipElement& element, int kind) {
    if (element.GetFaceCount() == 0)
        return {};
    return SurfaceProblemTexts(CheckElement(element, false).surface, kind);
}

bool GoOnDespiteSurfaceFaults(const CShipModel& ship, bool compartments, bool tanks) {
    const std::vector<CSurfaceFault> faults = FindSurfaceFaults(ship, compartments, tanks);
    if (faults.empty())
        return true;
    static const char* const kinds[] = {"", "scafo", "compartimento", "cassa"};
    QString text = faults.size() == 1 ? "Il volume di questo elemento non è quello disegnato:\n"
                                      : "Il volume di questi elementi non è quello disegnato:\n";
    for (const CSurfaceFault& f : faults)
        text += QString("\n%1 '%2': %3.")
                    .arg(kinds[f.kind], ElementNameText(f.element->GetName()),
                         SurfaceProblemTexts(f.surface, f.kind).join("; "));
    text += "\n\nEseguire comunque il calcolo?";
    return AfxMessageBox(text, MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}
