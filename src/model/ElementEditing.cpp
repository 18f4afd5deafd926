#include "ElementEditing.h"

#include "MeshCheck.h"
#include "MeshFaces.h"
#include "MeshFiles.h"
#include "io/CDxfFile.h"
#include "io/MeshFileKind.h"
#include "io/ObjReader.h"
#include "io/StlReader.h"
#include "platform/CFileException.h"
#include "platform/NumberText.h"

#include <cmath>

std::string MakeNameUnique(const CShipModel& ship, std::string name) {
    // One underscore is not always enough: "a_" may exist beside "a", and two
    // elements sharing a name can never be told apart again.
    while (ship.ContainsName(name))
        name += '_';
    return name;
}

void ImportMeshFile(CShipElement& element, const std::string& path, double scale, bool entities) {
    const CMeshFileKind kind = DetectMeshFile(path);
    if (kind == CMeshFileKind::stlAscii || kind == CMeshFileKind::stlBinary) {
        CTriangleArrays mesh = ReadStlFile(path);
        element.RemoveAll();
        if (!mesh.faces.empty())
            element.Append(MakePolyfaceMesh(std::move(mesh)));
    } else if (kind == CMeshFileKind::obj) {
        std::vector<CTriangleArrays> meshes = ReadObjFile(path);
        element.RemoveAll();
        for (CTriangleArrays& mesh : meshes)
            if (!mesh.faces.empty())
                element.Append(MakePolyfaceMesh(std::move(mesh)));
    } else {
        // A DXF drawing, or a file of no known kind read as one.
        CDxfFile file(path, CFile::modeRead);
        file.SeekToBegin();
        if (entities)
            file.FindEntities();
        element.ImportDxf(file);
        file.Close();
    }
    for (int m = 1; m <= element.GetCount(); ++m) {
        CMesh& mesh = *element.GetAt(m);
        if (scale != 1) {
            const int base = mesh.GetType() == CMesh::typeGrid ? 0 : 1;
            for (int i = base; i < base + mesh.GetVertexCount(); ++i) {
                CVector3& p = *mesh.GetVertex(i);
                p.Set(p.X() * scale, p.Y() * scale, p.Z() * scale);
            }
        }
        if (const CMessage problem = MeshNumberProblem(mesh); !problem.english.empty())
            throw CFileException(CFileException::damaged, path,
                                 BRELUND_SAY("mesh %d", "mesh %d", m) +
                                     (scale != 1
                                          ? BRELUND_SAY(" scaled by %g", " scalata di %g", scale)
                                          : CMessage()) +
                                     Verbatim(": ") + problem);
    }
}

CShipElement* AddElementFromFile(CShipModel& ship, int kind, const std::string& path,
                                 const std::string& name, double scale) {
    CShipElement* element = ship.AddElement(kind);
    if (element == nullptr)
        return nullptr;
    try {
        ImportMeshFile(*element, path, scale, kind == kindHull);
    } catch (...) {
        // The element is the last of its list: take it back out.
        if (kind == kindHull)
            ship.HullElements().RemoveAt(ship.HullElements().GetCount());
        else if (kind == kindCompartment)
            ship.Compartments().RemoveAt(ship.Compartments().GetCount());
        else
            ship.Tanks().RemoveAt(ship.Tanks().GetCount());
        throw;
    }
    element->SetName(MakeNameUnique(ship, name));
    return element;
}

CElementValues LoadElementValues(const CShipElement& element, int kind) {
    CElementValues v;
    v.kind = kind;
    v.enabled = element.IsEnabled() ? 1 : 0;
    v.colour = element.GetColour();
    v.name = element.GetName();
    if (kind == kindCompartment)
        v.permeability = static_cast<const CCompartment&>(element).GetPermeability();
    if (kind == kindTank) {
        const auto& tank = static_cast<const CTank&>(element);
        v.specific_weight = tank.GetSpecificWeight();
        v.filling_ratio = tank.GetFillingRatio();
        v.load_volume = tank.GetLoadVolume();
    }
    return v;
}

CElementValueCheck FindElementValueFault(const CElementValues& v) {
    using Field = double CElementValues::*;
    const auto notANumber = [&](std::initializer_list<Field> fields) -> Field {
        for (Field f : fields)
            if (!std::isfinite(v.*f))
                return f;
        return nullptr;
    };
    Field ratio = nullptr;
    if (v.kind == kindCompartment) {
        if (Field f = notANumber({&CElementValues::permeability}))
            return {CElementValueFault::notANumber, f};
        ratio = &CElementValues::permeability;
    } else if (v.kind == kindTank) {
        if (Field f = notANumber({&CElementValues::specific_weight, &CElementValues::load_volume,
                                  &CElementValues::filling_ratio}))
            return {CElementValueFault::notANumber, f};
        ratio = &CElementValues::filling_ratio;
    }
    if (ratio && (v.*ratio < 0 || v.*ratio > 1))
        return {CElementValueFault::outsideZeroToOne, ratio};
    return {};
}

void StoreElementValues(CShipModel& ship, CShipElement& element, const CElementValues& v) {
    element.SetEnabled(v.enabled != 0);
    element.SetColour(v.colour);
    if (v.name != element.GetName())
        element.SetName(MakeNameUnique(ship, v.name));
    if (v.kind == kindCompartment)
        static_cast<CCompartment&>(element).SetPermeability(v.permeability);
    if (v.kind == kindTank) {
        auto& tank = static_cast<CTank&>(element);
        tank.SetSpecificWeight(v.specific_weight);
        if (v.load_entry == 1)
            tank.SetLoadVolume(v.load_volume);
        else
            tank.SetFillingRatio(v.filling_ratio);
    }
}

void RestoreElementValues(CShipElement& element, const CElementValues& v) {
    element.SetEnabled(v.enabled != 0);
    element.SetColour(v.colour);
    element.SetName(v.name);
    if (v.kind == kindCompartment)
        static_cast<CCompartment&>(element).SetPermeability(v.permeability);
    if (v.kind == kindTank)
        static_cast<CTank&>(element).SetStoredLoad(v.specific_weight, v.load_volume,
                                                   v.filling_ratio);
}

std::vector<CValueProblem> FindValueProblems(const CShipElement& element, int kind) {
    std::vector<CValueProblem> problems;
    long long bad = 0;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        const CVector3* v = meshfaces::VertexArray(mesh);
        for (int i = 0; v && i < mesh.GetVertexCount(); ++i)
            if (!std::isfinite(v[i].X()) || !std::isfinite(v[i].Y()) || !std::isfinite(v[i].Z()))
                ++bad;
    }
    if (bad > 0)
        problems.push_back({FormatC("%lld vertices whose coordinates are not numbers", bad), true,
                            ElementValue::vertices, bad});
    const auto check = [&](const char* what, double value, bool negativeToo, ElementValue which) {
        if (!std::isfinite(value))
            problems.push_back({FormatC("its %s is not a number", what), true, which});
        else if (negativeToo && value < 0)
            problems.push_back({FormatC("its %s is negative (%g)", what, value), false, which});
    };
    if (kind == kindCompartment) {
        const double mu = static_cast<const CCompartment&>(element).GetPermeability();
        check("permeability", mu, false, ElementValue::permeability);
        if (std::isfinite(mu) && (mu < 0 || mu > 1))
            problems.push_back({FormatC("its permeability %g lies outside 0..1", mu), false,
                                ElementValue::permeability});
    }
    if (kind == kindTank) {
        const auto& tank = static_cast<const CTank&>(element);
        check("specific weight", tank.GetSpecificWeight(), true, ElementValue::specificWeight);
        check("load volume", tank.GetLoadVolume(), true, ElementValue::loadVolume);
        check("filling ratio", tank.GetFillingRatio(), true, ElementValue::fillingRatio);
        const double volume = tank.Volume();
        if (std::isfinite(tank.GetLoadVolume()) && std::isfinite(volume) &&
            tank.GetLoadVolume() > volume && tank.GetLoadVolume() > 0)
            problems.push_back({FormatC("its load volume %g is above the tank's volume %g",
                                        tank.GetLoadVolume(), volume),
                                false, ElementValue::loadVolume});
    }
    return problems;
}

const CShipElement* FindValueThatIsNotANumber(const CShipModel& ship, bool compartments, bool tanks,
                                              int& kind, CValueProblem& problem) {
    const auto search = [&](const auto& list, int listKind) -> const CShipElement* {
        for (int i = 1; i <= list.GetCount(); ++i) {
            const CShipElement& element = *list.GetAt(i);
            if (!element.IsEnabled())
                continue;
            for (const CValueProblem& p : FindValueProblems(element, listKind))
                if (p.not_a_number) {
                    kind = listKind;
                    problem = p;
                    return &element;
                }
        }
        return nullptr;
    };
    if (const CShipElement* e = search(ship.HullElements(), kindHull))
        return e;
    if (compartments)
        if (const CShipElement* e = search(ship.Compartments(), kindCompartment))
            return e;
    if (tanks)
        if (const CShipElement* e = search(ship.Tanks(), kindTank))
            return e;
    return nullptr;
}
