// The Python module brelund: ships kept in memory, edited as brelund-calc
// edits them, and the calculations of brelund-calc on them, with the same
// inputs, checks, messages and numbers. Each calculation runs without the
// GIL, so Python threads compute variants side by side.
#include "Records.h"

#include "cli/CliCommon.h"

#include "calc/BonjeanTable.h"
#include "calc/CurvesOfForm.h"
#include "calc/DamageStability.h"
#include "calc/InclinedTable.h"
#include "calc/NumberSeries.h"
#include "calc/StabilityCurve.h"
#include "calc/StopRequest.h"
#include "calc/SubmergedTrim.h"
#include "calc/TankTable.h"
#include "calc/UprightTable.h"
#include "calc/WeatherCriterion.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "model/ElementEditing.h"
#include "model/MeshCheck.h"
#include "model/MeshFiles.h"
#include "model/ShipFile.h"
#include "platform/CFileException.h"
#include "platform/FileIdentity.h"
#include "platform/NumberText.h"
#include "platform/ShipLock.h"
#include "report/DamageText.h"
#include "report/DatumText.h"
#include "report/InclinedText.h"
#include "report/StabilityText.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <tbb/global_control.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <future>
#include <limits>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

// A ship in memory, with the file it was read from or last written to.
struct CPyShip {
    CShipModel model;
    std::string path;       // empty for a ship never saved
    CFileIdentity identity; // of path when read or written
    // Calculations read the model together (without the GIL); edits take
    // it alone.
    std::shared_mutex mutex;
};

// Runs work on the ship without the GIL, under its lock: shared for a
// reading, exclusive for a change. work must not touch Python objects.
template <class Work> auto Locked(CPyShip& ship, bool exclusive, Work&& work) {
    py::gil_scoped_release release;
    if (exclusive) {
        std::unique_lock lock(ship.mutex);
        return work();
    }
    std::shared_lock lock(ship.mutex);
    return work();
}

// Runs a calculation on the ship under its shared lock, without the GIL, on
// a thread of its own, while the calling thread looks every 50 ms for a
// signal Python has caught: at Ctrl-C the calculation is asked to stop
// (work hands stop to the compute), and KeyboardInterrupt is raised once it
// has. work must not touch Python objects; what it throws is thrown here.
template <class Work> auto Calculating(CPyShip& ship, Work&& work) {
    CStopRequest stop;
    using Result = decltype(work(static_cast<const CStopRequest*>(&stop)));
    std::optional<Result> result;
    {
        py::gil_scoped_release release;
        std::shared_lock lock(ship.mutex);
        auto running = std::async(std::launch::async,
                                  [&] { return work(static_cast<const CStopRequest*>(&stop)); });
        bool interrupted = false;
        while (!interrupted &&
               running.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            py::gil_scoped_acquire acquire;
            if (PyErr_CheckSignals() != 0) { // the signal's exception is now set
                stop.Request();
                interrupted = true;
            }
        }
        if (!interrupted) {
            result.emplace(running.get()); // or what the calculation threw
        } else {
            try {
                running.get(); // stopped, or finished before it saw the request
            } catch (...) {
            }
        }
    }
    if (!result)
        throw py::error_already_set(); // KeyboardInterrupt, or whatever the handler raised
    return std::move(*result);
}

// An option typed that is not a finite number, refused as the command line
// refuses it.
void RefuseNotFinite(const char* option, const std::optional<double>& value) {
    if (value && !std::isfinite(*value))
        throw CRefusedError(std::string(option) + FormatC(" (%g) is not a finite number", *value));
}

// A series of numbers: a text as the command line takes it ("0:80:5",
// "1,2,3"), or a sequence of numbers.
std::vector<double> Series(const char* option, const py::object& values, std::size_t limit) {
    std::vector<double> out;
    if (py::isinstance<py::str>(values)) {
        const std::string problem =
            ParseNumberSeries(option, values.cast<std::string>(), limit, out);
        if (!problem.empty())
            throw CRefusedError(problem);
        return out;
    }
    const auto array =
        py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!array || array.ndim() > 1)
        throw CRefusedError(std::string(option) + ": a sequence of numbers is needed");
    out.assign(array.data(), array.data() + array.size());
    return out;
}

// --ap and --fp are given together.
bool Perpendiculars(const std::optional<double>& ap, const std::optional<double>& fp) {
    if (ap.has_value() != fp.has_value())
        throw CUsageError(ap ? "--ap requires --fp" : "--fp requires --ap");
    return ap.has_value();
}

const char* KindName(int kind) {
    static const char* const kinds[] = {"", "hull", "compartment", "tank"};
    return kinds[kind];
}

int KindCode(const std::string& kind) {
    if (kind == "hull")
        return kindHull;
    if (kind == "compartment")
        return kindCompartment;
    if (kind == "tank")
        return kindTank;
    throw CUsageError("KIND: '" + EscapeText(kind) + "' is not one of hull, compartment, tank");
}

// An element as `list` prints it.
struct CElementInfo {
    int kind = 0;
    std::string name;
    bool enabled = false;
    int meshes = 0;
    long long faces = 0;
    double volume = 0;
    Colour colour = 0;
    double permeability = 0, density = 0, load_volume = 0, filling_ratio = 0;
};

CElementInfo InfoOf(const CShipElement& e, int kind) {
    CElementInfo i;
    i.kind = kind;
    i.name = e.GetName();
    i.enabled = e.IsEnabled();
    i.meshes = e.GetCount();
    i.faces = e.GetFaceCount();
    i.volume = e.Volume();
    i.colour = e.GetColour();
    if (kind == kindCompartment)
        i.permeability = static_cast<const CCompartment&>(e).GetPermeability();
    if (kind == kindTank) {
        const auto& t = static_cast<const CTank&>(e);
        i.density = t.GetDensity();
        i.load_volume = t.GetLoadVolume();
        i.filling_ratio = t.GetFillingRatio();
    }
    return i;
}

py::dict ToDict(const CElementInfo& i) {
    const py::object none = py::none();
    return py::dict(
        "kind"_a = KindName(i.kind), "name"_a = i.name, "enabled"_a = i.enabled,
        "meshes"_a = i.meshes, "faces"_a = i.faces, "volume"_a = i.volume, "colour"_a = i.colour,
        "permeability"_a =
            i.kind == kindCompartment ? py::object(py::float_(i.permeability)) : none,
        "density_t_m3"_a = i.kind == kindTank ? py::object(py::float_(i.density)) : none,
        "load_volume"_a = i.kind == kindTank ? py::object(py::float_(i.load_volume)) : none,
        "filling_ratio"_a = i.kind == kindTank ? py::object(py::float_(i.filling_ratio)) : none);
}

template <class Fn> void ForEachElement(const CShipModel& ship, Fn&& fn) {
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i)
        fn(*ship.HullElements().GetAt(i), int{kindHull});
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
        fn(*ship.Compartments().GetAt(i), int{kindCompartment});
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
        fn(*ship.Tanks().GetAt(i), int{kindTank});
}

std::string ShipName(const CPyShip& ship) {
    return ship.path.empty() ? std::string("ship") : ship.path;
}

struct CFoundElement {
    CShipElement* element;
    int kind;
};

CFoundElement FindOrRefuse(CPyShip& ship, const std::string& name) {
    int kind = 0;
    CShipElement* element = ship.model.FindElement(name, &kind);
    if (element == nullptr)
        throw CRefusedError(ShipName(ship) + ": no element named '" + EscapeText(name) + "'");
    return {element, kind};
}

void Warn(const std::string& text) {
    py::module_::import("warnings")
        .attr("warn")(text, py::module_::import("brelund").attr("BrelundWarning"), 2);
}

// --- Ships -----------------------------------------------------------------

// A path given as str or os.PathLike (pathlib.Path).
std::string PathText(const py::object& path) {
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

std::unique_ptr<CPyShip> LoadPyShip(const py::object& pathObject) {
    const std::string path = PathText(pathObject);
    auto ship = std::make_unique<CPyShip>();
    {
        py::gil_scoped_release release;
        LoadShip(ship->model, path, false);
        ship->identity = CFileIdentity::Of(path);
    }
    ship->path = path;
    return ship;
}

void SavePyShip(CPyShip& ship, const py::object& to, bool overwrite) {
    const std::string path = to.is_none() ? ship.path : PathText(to);
    if (path.empty())
        throw CUsageError("save: the ship has no file yet: give the path to write");
    Locked(ship, true, [&] {
        const CShipLock lock(path);
        SayWhatTheLockRepaired(lock, path);
        // A ship file another program wrote since this one read it is not
        // overwritten unasked: its changes would be lost.
        const CFileIdentity now = CFileIdentity::Of(path);
        if (!overwrite && path == ship.path && ship.identity.exists && now != ship.identity)
            throw CRefusedError(path + ": changed by another program since it was read; "
                                       "save(path, overwrite=True) replaces it");
        StoreShipFile(ship.model, path);
        ship.identity = CFileIdentity::Of(path);
        ship.path = path;
        return 0;
    });
}

py::list Elements(CPyShip& ship) {
    const std::vector<CElementInfo> infos = Locked(ship, false, [&] {
        std::vector<CElementInfo> out;
        ForEachElement(ship.model,
                       [&](const CShipElement& e, int kind) { out.push_back(InfoOf(e, kind)); });
        return out;
    });
    py::list out;
    for (const CElementInfo& i : infos)
        out.append(ToDict(i));
    return out;
}

// A mesh from arrays: vertices N x 3 float64, faces M x 3 triangles or
// M x 4 quadrilaterals (split as (1, 2, 3), (1, 3, 4), the fan of the face),
// 0-based indices. Every value is checked before anything is built.
CTriangleArrays MeshFromArrays(const py::object& verticesObject, const py::object& facesObject,
                               double scale) {
    const py::array anyVertices = py::array::ensure(verticesObject);
    if (!anyVertices || anyVertices.ndim() != 2 || anyVertices.shape(1) != 3)
        throw CRefusedError(
            "vertices: an array of N x 3 coordinates is needed" +
            (anyVertices ? FormatC(", not one of %d dimensions%s", int(anyVertices.ndim()),
                                   anyVertices.ndim() == 2
                                       ? FormatC(" and %lld columns",
                                                 static_cast<long long>(anyVertices.shape(1)))
                                             .c_str()
                                       : "")
                         : std::string()));
    const char vkind = anyVertices.dtype().kind();
    if (vkind != 'f' && vkind != 'i' && vkind != 'u')
        throw CRefusedError("vertices: numbers are needed, not an array of dtype " +
                            py::str(anyVertices.dtype()).cast<std::string>());
    const auto vertices =
        py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(anyVertices);
    const py::array anyFaces = py::array::ensure(facesObject);
    if (!anyFaces || anyFaces.ndim() != 2 || (anyFaces.shape(1) != 3 && anyFaces.shape(1) != 4))
        throw CRefusedError(
            "faces: an array of M x 3 (triangles) or M x 4 (quadrilaterals) vertex indices is "
            "needed" +
            (anyFaces
                 ? FormatC(", not one of %d dimensions%s", int(anyFaces.ndim()),
                           anyFaces.ndim() == 2 ? FormatC(" and %lld columns",
                                                          static_cast<long long>(anyFaces.shape(1)))
                                                      .c_str()
                                                : "")
                 : std::string()));
    const char fkind = anyFaces.dtype().kind();
    if (fkind != 'i' && fkind != 'u')
        throw CRefusedError(
            "faces: whole-number vertex indices are needed, not an array of dtype " +
            py::str(anyFaces.dtype()).cast<std::string>());
    const auto faces =
        py::array_t<long long, py::array::c_style | py::array::forcecast>::ensure(anyFaces);
    const py::ssize_t nv = vertices.shape(0), nf = faces.shape(0), corners = faces.shape(1);
    if (nf == 0)
        throw CRefusedError("faces: no face given; nothing added");
    if (nv > std::numeric_limits<std::int32_t>::max() - 1 ||
        nf * 2 > std::numeric_limits<std::int32_t>::max())
        throw CRefusedError("more vertices or faces than a mesh holds");
    CTriangleArrays mesh;
    mesh.vertices.reserve(static_cast<std::size_t>(nv));
    const double* v = vertices.data();
    for (py::ssize_t i = 0; i < nv; ++i) {
        const double x = v[3 * i], y = v[3 * i + 1], z = v[3 * i + 2];
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
            throw CRefusedError(FormatC("vertices: row %lld (%g, %g, %g) holds a value that is "
                                        "not a finite number",
                                        static_cast<long long>(i), x, y, z));
        mesh.vertices.emplace_back(x * scale, y * scale, z * scale);
    }
    const long long* f = faces.data();
    mesh.faces.reserve(static_cast<std::size_t>(nf * (corners - 2)));
    for (py::ssize_t i = 0; i < nf; ++i) {
        const long long* row = f + corners * i;
        for (py::ssize_t k = 0; k < corners; ++k)
            if (row[k] < 0 || row[k] >= nv)
                throw CRefusedError(FormatC("faces: row %lld refers to vertex %lld, outside 0 to "
                                            "%lld (the rows of vertices)",
                                            static_cast<long long>(i), row[k],
                                            static_cast<long long>(nv) - 1));
        // 1-based, as the meshes keep them.
        const auto at = [&](int k) { return static_cast<std::int32_t>(row[k] + 1); };
        mesh.faces.push_back({{at(0), at(1), at(2)}});
        if (corners == 4)
            mesh.faces.push_back({{at(0), at(2), at(3)}});
    }
    return mesh;
}

py::dict AddElement(CPyShip& ship, const std::string& kindName, const py::object& source,
                    const std::optional<std::string>& name, double scale,
                    const std::optional<double>& density, bool allowEmpty) {
    const int kind = KindCode(kindName);
    if (name && name->empty())
        throw CUsageError("--name: an element name cannot be empty");
    if (density && kind != kindTank)
        throw CUsageError("--density applies to tanks only");
    if (!(scale > 0) || !std::isfinite(scale))
        throw CRefusedError("--scale: the scale must be a positive number");
    if (density) {
        if (!std::isfinite(*density))
            throw CRefusedError(FormatC("--density (%g) is not a finite number", *density));
        if (!std::isfinite(*density * 1000))
            throw CRefusedError(FormatC("--density (%g t/m^3) is beyond the numbers a specific "
                                        "weight in kg/m^3 can hold",
                                        *density));
    }
    std::optional<std::string> path;
    CTriangleArrays arrays;
    if (py::isinstance<py::str>(source) || py::hasattr(source, "__fspath__")) {
        path = PathText(source);
    } else {
        const py::tuple pair = py::tuple(source);
        if (pair.size() != 2)
            throw CRefusedError("source: a mesh file's path or a pair (vertices, faces) is needed");
        arrays = MeshFromArrays(pair[0], pair[1], scale);
    }
    std::vector<std::string> problems;
    const CElementInfo info = Locked(ship, true, [&] {
        CShipElement* element = nullptr;
        if (path) {
            // Named, as by brelund-calc add, after the file's absolute path.
            std::error_code error;
            const std::filesystem::path absolute = std::filesystem::absolute(*path, error);
            element = AddElementFromFile(ship.model, kind, *path,
                                         name    ? *name
                                         : error ? *path
                                                 : absolute.lexically_normal().string(),
                                         scale);
            if (element->GetFaceCount() == 0 && !allowEmpty) {
                ship.model.DeleteElement(element->GetName());
                throw CRefusedError(
                    "no mesh found in " + *path +
                    " (looked for DXF polyface and polygon-mesh POLYLINEs and 3DFACEs, STL "
                    "facets, OBJ faces); nothing added (allow_empty=True adds it all the same)");
            }
        } else {
            auto mesh = MakePolyfaceMesh(std::move(arrays));
            if (const CMessage problem = MeshNumberProblem(*mesh); !problem.english.empty())
                throw CRefusedError("vertices: " + problem.english);
            element = ship.model.AddElement(kind);
            element->Append(std::move(mesh));
            element->SetName(MakeNameUnique(ship.model, name ? *name : kindName));
        }
        if (density)
            static_cast<CTank&>(*element).SetSpecificWeight(*density * 1000);
        const CElementCheck check = CheckElement(*element);
        problems = DescribeProblems(*element, kind, check,
                                    "ship.invert('" + EscapeText(element->GetName()) + "')");
        return InfoOf(*element, kind);
    });
    for (const std::string& line : problems)
        Warn(line);
    return ToDict(info);
}

struct CEditArgs {
    std::optional<std::string> rename;
    std::optional<bool> enabled;
    std::optional<Colour> colour;
    std::optional<double> permeability, density, specific_weight, filling, load_volume;
};

py::dict EditElement(CPyShip& ship, const std::string& name, const CEditArgs& a) {
    if (a.density && a.specific_weight)
        throw CUsageError("--density excludes --specific-weight");
    if (a.filling && a.load_volume)
        throw CUsageError("--filling excludes --load-volume");
    const CElementInfo info = Locked(ship, true, [&] {
        const CFoundElement f = FindOrRefuse(ship, name);
        if (f.kind != kindCompartment && a.permeability)
            throw CUsageError("--permeability applies to compartments only");
        if (f.kind != kindTank && (a.density || a.specific_weight || a.filling || a.load_volume))
            throw CUsageError(
                "--density, --specific-weight, --filling and --load-volume apply to tanks only");
        if (a.rename && a.rename->empty())
            throw CUsageError("--rename: an element name cannot be empty");
        CElementValues v = LoadElementValues(*f.element, f.kind);
        if (a.rename)
            v.name = *a.rename;
        if (a.enabled)
            v.enabled = *a.enabled ? 1 : 0;
        if (a.colour)
            v.colour = *a.colour;
        if (a.permeability)
            v.permeability = *a.permeability;
        if (a.density) {
            if (std::isfinite(*a.density) && !std::isfinite(*a.density * 1000))
                throw CRefusedError(FormatC("--density (%g t/m^3) is beyond the numbers a "
                                            "specific weight in kg/m^3 can hold",
                                            *a.density));
            v.specific_weight = *a.density * 1000;
        }
        if (a.specific_weight)
            v.specific_weight = *a.specific_weight;
        if (a.filling)
            v.filling_ratio = *a.filling;
        if (a.load_volume) {
            v.load_volume = *a.load_volume;
            v.load_entry = 1;
        }
        if (const CElementValueCheck c = FindElementValueFault(v);
            c.fault != CElementValueFault::none) {
            const struct {
                double CElementValues::*field;
                const char* option;
                const char* name;
                const std::optional<double>* given;
            } fields[] = {
                {&CElementValues::permeability, "--permeability", "permeability", &a.permeability},
                {&CElementValues::specific_weight, "--density", "density", &a.density},
                {&CElementValues::specific_weight, "--specific-weight", "specific weight",
                 &a.specific_weight},
                {&CElementValues::load_volume, "--load-volume", "load volume", &a.load_volume},
                {&CElementValues::filling_ratio, "--filling", "filling ratio", &a.filling}};
            const std::optional<double>* liquid =
                a.specific_weight ? &a.specific_weight : &a.density;
            for (const auto& field : fields) {
                if (field.field != c.field ||
                    (field.field == &CElementValues::specific_weight && field.given != liquid))
                    continue;
                const bool typed = field.given->has_value();
                const double value = typed ? **field.given : v.*field.field;
                const char* rule = c.fault == CElementValueFault::notANumber
                                       ? "is not a finite number"
                                       : "lies outside 0 to 1";
                throw CRefusedError(ShipName(ship) + ": '" + EscapeText(name) + "': " +
                                    (typed ? FormatC("%s (%g) %s", field.option, value, rule)
                                           : FormatC("its %s (%g) %s: give one with %s", field.name,
                                                     value, rule, field.option)));
            }
        }
        StoreElementValues(ship.model, *f.element, v);
        return InfoOf(*f.element, f.kind);
    });
    return ToDict(info);
}

void DeleteElement(CPyShip& ship, const std::string& name) {
    Locked(ship, true, [&] {
        FindOrRefuse(ship, name);
        ship.model.DeleteElement(name);
        return 0;
    });
}

py::dict InvertElement(CPyShip& ship, const std::string& name) {
    return ToDict(Locked(ship, true, [&] {
        const CFoundElement f = FindOrRefuse(ship, name);
        f.element->InvertNormals();
        return InfoOf(*f.element, f.kind);
    }));
}

struct CCheckInfo {
    int kind = 0;
    std::string name;
    bool enabled = false;
    int meshes = 0;
    CElementCheck check;
    std::vector<std::string> problems;
};

py::dict SurfaceDict(const CSurfaceCheck& s) {
    return py::dict("closed"_a = s.IsClosed(), "consistent"_a = s.IsConsistent(),
                    "outward"_a = s.IsClosed() && s.IsOutward(), "volume"_a = s.volume,
                    "faces"_a = s.faces, "vertices"_a = s.vertices, "degenerate"_a = s.degenerate,
                    "non_finite"_a = s.non_finite, "boundary_edges"_a = s.boundary_edges,
                    "boundary_length"_a = s.boundary_length, "non_manifold"_a = s.non_manifold,
                    "flipped_faces"_a = s.flipped_faces, "t_junctions"_a = s.t_junctions);
}

py::list CheckShip(CPyShip& ship, const std::vector<std::string>& names) {
    const std::vector<CCheckInfo> infos = Locked(ship, false, [&] {
        std::vector<CCheckInfo> out;
        const auto one = [&](const CShipElement& e, int kind) {
            CCheckInfo i{kind, e.GetName(), e.IsEnabled(), e.GetCount(), CheckElement(e), {}};
            i.problems = DescribeProblems(e, kind, i.check,
                                          "ship.invert('" + EscapeText(e.GetName()) + "')");
            out.push_back(std::move(i));
        };
        if (names.empty())
            ForEachElement(ship.model, one);
        for (const std::string& name : names) {
            const CFoundElement f = FindOrRefuse(ship, name);
            one(*f.element, f.kind);
        }
        return out;
    });
    py::list out;
    for (const CCheckInfo& i : infos) {
        py::list meshes;
        for (const CSurfaceCheck& m : i.check.meshes)
            meshes.append(SurfaceDict(m));
        py::dict d = SurfaceDict(i.check.surface);
        d["kind"] = KindName(i.kind);
        d["name"] = i.name;
        d["enabled"] = i.enabled;
        d["tolerance"] = i.check.tolerance;
        d["meshes"] = meshes;
        d["problems"] = i.problems;
        out.append(d);
    }
    return out;
}

// --- Calculations ----------------------------------------------------------

struct CHydrostaticsArgs {
    py::object draughts;
    double heel = 0, trim = 0, density = 1.025, baseline = 0;
    std::optional<double> ap, fp, lpp;
};

py::dict Hydrostatics(CPyShip& ship, const CHydrostaticsArgs& a) {
    RefuseNotFinite("--heel", a.heel);
    RefuseNotFinite("--trim", a.trim);
    RefuseNotFinite("--density", a.density);
    RefuseNotFinite("--baseline", a.baseline);
    RefuseNotFinite("--ap", a.ap);
    RefuseNotFinite("--fp", a.fp);
    RefuseNotFinite("--lpp", a.lpp);
    CCurvesOfFormInputs in;
    in.heel = a.heel;
    in.trim = a.trim;
    in.density = a.density;
    in.baseline = a.baseline;
    in.perpendiculars = Perpendiculars(a.ap, a.fp);
    if (a.lpp && in.perpendiculars)
        throw CUsageError("--lpp excludes --ap");
    in.ap = a.ap.value_or(0);
    in.fp = a.fp.value_or(0);
    in.lpp = a.lpp.value_or(0);
    if (a.lpp && !(in.lpp > 0))
        throw CRefusedError("--lpp must be above 0");
    if (!a.draughts.is_none())
        in.draughts = Series("--draughts", a.draughts, kMaxDraughts);
    if (const CCalcCheck problem = CheckCurvesOfFormInputs(in))
        throw CRefusedError(DescribeCurvesOfFormProblem(*problem));
    struct Out {
        CRecordTable datums, curves;
    };
    const Out out = Calculating(ship, [&](const CStopRequest* stop) {
        RefuseValuesThatAreNotNumbers(ship.model, true, false);
        WarnOfSurfaceFaults(ship.model, true, false);
        if (const CCalcCheck problem = CheckCurvesOfFormShip(ship.model, in))
            throw CRefusedError(DescribeCurvesOfFormProblem(*problem));
        CShipDatums datums;
        Out o;
        o.curves = ComputeCurvesOfForm(ship.model, in, &datums, stop);
        o.datums = HydrostaticsDatums(datums, WithoutWholeTurns(in.heel),
                                      WithoutWholeTurns(in.trim), in.density);
        return o;
    });
    return py::dict("datums"_a = RecordRow(out.datums), "curves"_a = RecordColumns(out.curves));
}

struct CStabilityArgs {
    std::optional<std::string> condition;
    std::optional<double> lightship, lcg, vcg, tcg, density, flooding, ap, fp;
    double baseline = 0;
    py::object heels;
    bool weather = false;
    double wind_pressure = 504;
    std::optional<double> bilge_keel_area; // none: the condition's
};

// The options of stability and damage that may override a condition,
// parsed into cmd as the command line parses them (so that its rules name
// them alike), checked, and the inputs they give.
template <class Args> CStabilityInputs ConditionOptions(CLI::App& cmd, const Args& a) {
    double ignored = 0;
    const struct {
        const char* option;
        const std::optional<double>* value;
    } overrides[] = {{"--lightship", &a.lightship},
                     {"--lcg", &a.lcg},
                     {"--tcg", &a.tcg},
                     {"--vcg", &a.vcg},
                     {"--density", &a.density},
                     {"--flooding-angle", &a.flooding}};
    std::vector<std::string> given;
    for (const auto& o : overrides) {
        cmd.add_option(o.option, ignored);
        if (o.value->has_value()) {
            given.push_back("0");
            given.push_back(o.option);
        }
    }
    cmd.parse(given); // reversed, as CLI11 takes a vector
    if (!a.condition)
        for (const char* required : {"--lightship", "--lcg", "--vcg"})
            if (cmd.get_option(required)->count() == 0)
                throw CUsageError(std::string(required) + " is required (or --condition NAME)");
    for (const auto& o : overrides)
        RefuseNotFinite(o.option, *o.value);
    RefuseNotFinite("--baseline", a.baseline);
    RefuseNotFinite("--ap", a.ap);
    RefuseNotFinite("--fp", a.fp);
    CStabilityInputs in;
    in.lightship = a.lightship.value_or(0);
    in.lcg = a.lcg.value_or(0);
    in.tcg = a.tcg.value_or(0);
    in.vcg = a.vcg.value_or(0);
    in.density = a.density.value_or(1.025);
    in.baseline = a.baseline;
    in.perpendiculars = Perpendiculars(a.ap, a.fp);
    in.ap = a.ap.value_or(0);
    in.fp = a.fp.value_or(0);
    if (a.flooding)
        in.flooding = *a.flooding;
    return in;
}

py::dict Stability(CPyShip& ship, const CStabilityArgs& a) {
    CLI::App cmd("stability");
    CStabilityInputs in = ConditionOptions(cmd, a);
    if (a.weather) {
        RefuseNotFinite("--wind-pressure", a.wind_pressure);
        RefuseNotFinite("--bilge-keel-area", a.bilge_keel_area);
    }
    if (!a.heels.is_none())
        in.heels = Series("--heels", a.heels, 1000);
    CInputNames names{&cmd, nullptr};
    if (!a.condition)
        if (const CCalcCheck problem = CheckStabilityInputs(in))
            throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
    CLoadingConditions conditions;
    struct Out {
        CStabilityResult result;
        std::optional<CWeatherCalculation> weather;
    };
    Out out = Calculating(ship, [&](const CStopRequest* stop) {
        if (a.condition) {
            if (ship.path.empty())
                throw CRefusedError("no loading condition '" + EscapeText(*a.condition) +
                                    "': a ship never saved has no conditions file");
            const CLoadingCondition* c = FindCondition(ship.path, *a.condition, conditions);
            WarnOfUnknownTanks(ship.model, ship.path, *c);
            TakeCondition(ConditionStabilityInputs(ship.model, *c), cmd, in);
            names.condition = c;
            if (const CCalcCheck problem = CheckStabilityInputs(in))
                throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        } else if (!ship.path.empty()) {
            LoadConditionsFile(ship.path, conditions);
        }
        in.openings = conditions.Openings();
        RefuseValuesThatAreNotNumbers(ship.model, true, true);
        WarnOfSurfaceFaults(ship.model, true, true);
        if (names.condition) {
            for (int i = 1; i <= ship.model.Tanks().GetCount(); ++i) {
                const CTank& tank = *ship.model.Tanks().GetAt(i);
                if (tank.IsEnabled() && tank.GetLoadVolume() > 0 &&
                    !names.condition->TankLoad(tank.GetName()))
                    WarnIfDensityUnset(tank);
            }
        } else {
            WarnOfUnsetDensities(ship.model, true);
        }
        if (const CCalcCheck problem = CheckStabilityShip(ship.model, in))
            throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        Out o;
        try {
            o.result = ComputeStability(ship.model, in, stop);
        } catch (const CCalcFailure& e) {
            throw CRefusedError(DescribeStabilityProblem(e.Problem(), in, names));
        }
        if (a.weather) {
            CWeatherOptions wind;
            wind.pressure = a.wind_pressure;
            wind.bilge_keel_area = a.bilge_keel_area;
            if (!(wind.pressure > 0))
                throw CRefusedError(
                    FormatC("--wind-pressure (%g Pa) must be a number above 0", wind.pressure));
            if (a.bilge_keel_area && !(*a.bilge_keel_area >= 0))
                throw CRefusedError(
                    FormatC("--bilge-keel-area (%g m^2) must be 0 or more", *a.bilge_keel_area));
            try {
                o.weather = ComputeWeather(ship.model, in, o.result, wind, stop);
            } catch (const CCalcFailure& e) {
                throw CRefusedError("the curve to windward for --weather: " +
                                    DescribeStabilityProblem(e.Problem(), in, names));
            }
        }
        return o;
    });
    // The tables as the command line's report holds them.
    CStabilityResult with = out.result;
    if (out.weather)
        with.criteria.insert(with.criteria.end(), out.weather->result.criteria.begin(),
                             out.weather->result.criteria.end());
    const CStabilityTables t = StabilityTables(with);
    py::dict report("curve"_a = RecordColumns(t.curve), "summary"_a = RecordRow(t.summary),
                    "criteria"_a = RecordColumns(t.criteria));
    if (!out.result.openings.empty())
        report["openings"] = RecordColumns(t.openings);
    if (out.weather)
        report["weather"] = RecordRow(WeatherTable(*out.weather));
    return report;
}

// --rule one-point|exact.
IntegrationRule RuleOf(const std::string& rule) {
    if (rule == "exact")
        return IntegrationRule::exact;
    if (rule == "one-point")
        return IntegrationRule::onePoint;
    throw CUsageError("--rule: '" + EscapeText(rule) + "' is not one of one-point, exact");
}

py::array_t<double> Array(const std::vector<double>& values) {
    py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

struct CUprightArgs {
    std::optional<double> zmin, zmax, dz, heel, trim;
    std::string rule;
};

py::dict Upright(CPyShip& ship, const CUprightArgs& a) {
    const IntegrationRule rule = RuleOf(a.rule);
    const CUprightTable table = Calculating(ship, [&](const CStopRequest* stop) {
        RefuseValuesThatAreNotNumbers(ship.model, true, false);
        WarnOfSurfaceFaults(ship.model, true, false);
        CUprightInputs in;
        in.rule = rule;
        CImmersedBody body;
        OpenUprightTable(ship.model, in, body);
        in.zmin = a.zmin.value_or(in.zmin);
        in.zmax = a.zmax.value_or(in.zmax);
        in.dz = a.dz.value_or(in.dz);
        in.heel = a.heel.value_or(in.heel);
        in.trim = a.trim.value_or(in.trim);
        if (const CCalcCheck problem = CheckUprightInputs(in))
            throw CRefusedError(DescribeUprightProblem(ship.model, *problem));
        return ComputeUprightTable(ship.model, in, CCalcRun{nullptr, stop});
    });
    // The columns of the table, as its grid heads them.
    static const char* const keys[kUprightColumns] = {"Z_m",  "Z_rel_m", "V_m3",  "Rx_m",  "Ry_m",
                                                      "XB_m", "YB_m",    "ZB_m",  "Af_m2", "xf_m",
                                                      "yf_m", "Lwl_m",   "Bwl_m", "S_m2"};
    static const char* const units[kUprightColumns] = {"m", "m",   "m^3", "m", "m", "m", "m",
                                                       "m", "m^2", "m",   "m", "m", "m", "m^2"};
    py::dict out, unitsOf;
    for (int k = 0; k < kUprightColumns; ++k) {
        std::vector<double> column;
        for (const CUprightRow& row : table.rows)
            column.push_back(row[static_cast<std::size_t>(k)]);
        out[keys[k]] = Array(column);
        unitsOf[keys[k]] = units[k];
    }
    out["units"] = unitsOf;
    return out;
}

struct CInclinedArgs {
    std::string kind = "kz";
    std::optional<double> xg, yg, zg, precision, vi, vf, dv, ai, af, da;
    std::string rule;
};

py::dict Inclined(CPyShip& ship, const CInclinedArgs& a) {
    if (a.kind != "kz" && a.kind != "gz")
        throw CUsageError("--kind: '" + EscapeText(a.kind) + "' is not one of kz, gz");
    const IntegrationRule rule = RuleOf(a.rule);
    using Field = double CInclinedInputs::*;
    const struct {
        const char* option;
        const std::optional<double>* value;
        Field field;
    } fields[] = {{"--xg", &a.xg, &CInclinedInputs::xg},
                  {"--yg", &a.yg, &CInclinedInputs::yg},
                  {"--zg", &a.zg, &CInclinedInputs::zg},
                  {"--precision", &a.precision, &CInclinedInputs::precision},
                  {"--vi", &a.vi, &CInclinedInputs::vi},
                  {"--vf", &a.vf, &CInclinedInputs::vf},
                  {"--dv", &a.dv, &CInclinedInputs::dv},
                  {"--ai", &a.ai, &CInclinedInputs::ai},
                  {"--af", &a.af, &CInclinedInputs::af},
                  {"--da", &a.da, &CInclinedInputs::da}};
    for (const auto& f : fields)
        RefuseNotFinite(f.option, *f.value);
    const bool gz = a.kind == "gz";
    const CInclinedTable table = Calculating(ship, [&](const CStopRequest* stop) {
        RefuseValuesThatAreNotNumbers(ship.model, true, gz);
        WarnOfSurfaceFaults(ship.model, true, gz);
        CInclinedInputs in;
        in.rule = rule;
        OpenInclinedTable(ship.model, in);
        for (const auto& f : fields)
            if (f.value->has_value())
                in.*f.field = **f.value;
        in.kind = gz ? FreeToTrimGZ : EvenKeelKZ;
        const CInclinedInputs typed = in;
        if (CorrectInclinedInputs(in))
            for (const auto& f : fields)
                if (typed.*f.field != in.*f.field)
                    std::fprintf(stderr,
                                 "brelund-calc: warning: %s %g was taken as %g, as the dialog "
                                 "corrects it\n",
                                 f.option, typed.*f.field, in.*f.field);
        if (const CCalcCheck problem = CheckInclinedInputs(in))
            throw CRefusedError(DescribeInclinedProblem(*problem));
        return ComputeInclinedTable(ship.model, in, CCalcRun{nullptr, stop});
    });
    const std::size_t nv = table.volumes.size(), na = table.angles.size();
    py::array_t<double> levers({static_cast<py::ssize_t>(nv), static_cast<py::ssize_t>(na)});
    auto cells = levers.mutable_unchecked<2>();
    for (std::size_t j = 0; j < nv; ++j)
        for (std::size_t i = 0; i < na; ++i) {
            const CInclinedCell& c = table.At(i, j);
            cells(static_cast<py::ssize_t>(j), static_cast<py::ssize_t>(i)) =
                c.computed && c.ok ? c.lever : std::numeric_limits<double>::quiet_NaN();
        }
    const char* lever = gz ? "GZ_m" : "KZ_m";
    return py::dict(
        "volume_m3"_a = Array(table.volumes), "heel_deg"_a = Array(table.angles),
        py::arg(lever) = levers,
        "units"_a = py::dict("volume_m3"_a = "m^3", "heel_deg"_a = "deg", py::arg(lever) = "m"));
}

struct CBonjeanArgs {
    double zstart = 0, zend = 0, dz = 0, station0 = 0, station20 = 0;
    std::vector<double> extra;
};

py::dict Bonjean(CPyShip& ship, const CBonjeanArgs& a) {
    RefuseNotFinite("--zstart", a.zstart);
    RefuseNotFinite("--zend", a.zend);
    RefuseNotFinite("--dz", a.dz);
    RefuseNotFinite("--station0", a.station0);
    RefuseNotFinite("--station20", a.station20);
    CBonjeanInputs in;
    in.zstart = a.zstart;
    in.zend = a.zend;
    in.dz = a.dz;
    in.station0 = a.station0;
    in.station20 = a.station20;
    for (std::size_t k = 0; k < a.extra.size(); ++k) {
        if (!std::isfinite(a.extra[k]))
            throw CRefusedError(FormatC("--extra \"%g\" is not a number", a.extra[k]));
        in.extra += (k ? "\r\n" : "") + FormatC("%.17g", a.extra[k]);
    }
    struct Out {
        CBonjeanTables tables;
        std::vector<double> stations;
    };
    const Out out = Calculating(ship, [&](const CStopRequest* stop) {
        RefuseValuesThatAreNotNumbers(ship.model, false, false);
        WarnOfSurfaceFaults(ship.model, false, false);
        CBonjeanModelData data;
        if (!OpenBonjeanTables(ship.model, data))
            std::fprintf(stderr, "brelund-calc: warning: the ship has no hull element with "
                                 "vertices: its main dimensions are taken as 0\n");
        if (const CCalcCheck problem = CheckBonjeanInputs(&ship.model, in, data))
            throw CRefusedError(DescribeBonjeanProblem(*problem));
        Out o;
        o.tables = ComputeBonjeanTables(ship.model, in, data, CCalcRun{nullptr, stop});
        o.stations = BonjeanStations(in, data, false);
        return o;
    });
    const auto nw = static_cast<py::ssize_t>(out.tables.waterlines.size());
    const auto ns = static_cast<py::ssize_t>(out.tables.Stations());
    const auto grid = [&](const std::vector<double>& values) {
        py::array_t<double> a2({nw, ns});
        std::copy(values.begin(), values.end(), a2.mutable_data());
        return a2;
    };
    std::vector<double> numbers;
    for (int j = 0; j < kBonjeanRegularStations; ++j)
        numbers.push_back(j);
    numbers.insert(numbers.end(), out.tables.extra.begin(), out.tables.extra.end());
    return py::dict("z_m"_a = Array(out.tables.waterlines), "station"_a = Array(numbers),
                    "x_m"_a = Array(out.stations), "area_m2"_a = grid(out.tables.areas),
                    "moment_m3"_a = grid(out.tables.moments),
                    "units"_a = py::dict("z_m"_a = "m", "station"_a = "", "x_m"_a = "m",
                                         "area_m2"_a = "m^2", "moment_m3"_a = "m^3"));
}

py::dict Trim(CPyShip& ship, const CSubmergedTrimInputs& in) {
    RefuseNotFinite("--xg", in.x);
    RefuseNotFinite("--yg", in.y);
    RefuseNotFinite("--zg", in.z);
    RefuseNotFinite("--weight", in.weight);
    RefuseNotFinite("--tolerance", in.tolerance);
    RefuseNotFinite("--heel", in.heel);
    RefuseNotFinite("--trim", in.trim);
    const CSubmergedTrim r = Calculating(ship, [&](const CStopRequest* stop) {
        RefuseValuesThatAreNotNumbers(ship.model, true, true);
        WarnOfSurfaceFaults(ship.model, true, true);
        if (const CCalcCheck problem = CheckSubmergedTrim(ship.model, in))
            throw CRefusedError(DescribeTrimProblem(*problem));
        try {
            return ComputeSubmergedTrim(ship.model, in, CCalcRun{nullptr, stop});
        } catch (const CCalcFailure& e) {
            throw CRefusedError(DescribeTrimProblem(e.Problem()));
        }
    });
    return py::dict(
        "heel_deg"_a = r.heel, "trim_deg"_a = r.trim, "weight_t"_a = r.weight,
        "displaced_t"_a = r.displaced, "submerged"_a = FloatsWhollySubmerged(r, in.tolerance),
        "units"_a = py::dict("heel_deg"_a = "deg", "trim_deg"_a = "deg", "weight_t"_a = "t",
                             "displaced_t"_a = "t", "submerged"_a = ""));
}

struct CTanksArgs {
    std::vector<std::string> tanks;
    py::object soundings, volumes, trims;
    double heel = 0;
    std::optional<double> density;
};

py::dict Tanks(CPyShip& ship, const CTanksArgs& a) {
    RefuseNotFinite("--heel", a.heel);
    RefuseNotFinite("--density", a.density);
    if (!a.soundings.is_none() && !a.volumes.is_none())
        throw CUsageError("--volumes excludes --soundings");
    CTankTableInputs in;
    in.tanks = a.tanks;
    in.heel = a.heel;
    in.density = a.density;
    if (!a.soundings.is_none())
        in.soundings = Series("--soundings", a.soundings, kMaxTankRows);
    if (!a.volumes.is_none())
        in.volumes = Series("--volumes", a.volumes, kMaxTankRows);
    if (!a.trims.is_none())
        in.trims = Series("--trims", a.trims, kMaxTrims);
    if (const CCalcCheck problem = CheckTankTableInputs(in))
        throw CRefusedError(DescribeTankTableProblem(*problem));
    const CRecordTable table = Calculating(ship, [&](const CStopRequest* stop) {
        CLoadingConditions conditions;
        if (!ship.path.empty())
            LoadConditionsFile(ship.path, conditions);
        in.pipes = conditions.SoundingPipes();
        RefuseValuesThatAreNotNumbers(ship.model, false, true);
        WarnOfSurfaceFaults(ship.model, false, true);
        if (const CCalcCheck problem = CheckTankTableShip(ship.model, in))
            throw CRefusedError(DescribeTankTableProblem(*problem));
        if (!in.density)
            for (int i = 1; i <= ship.model.Tanks().GetCount(); ++i) {
                const CTank& tank = *ship.model.Tanks().GetAt(i);
                if (in.tanks.empty() ||
                    std::find(in.tanks.begin(), in.tanks.end(), tank.GetName()) != in.tanks.end())
                    WarnIfDensityUnset(tank);
            }
        try {
            return ComputeTankTable(ship.model, in, stop);
        } catch (const CCalcFailure& e) {
            throw CRefusedError(DescribeTankTableProblem(e.Problem()));
        }
    });
    return RecordColumns(table);
}

struct CDamageArgs {
    std::optional<std::string> condition, damage_case, open;
    std::optional<double> deck, lightship, lcg, vcg, tcg, density, flooding, ap, fp;
    double baseline = 0;
    std::string criteria;
};

py::object Damage(CPyShip& ship, const CDamageArgs& a) {
    if (!a.damage_case && !a.open)
        throw CUsageError("--case NAME|all or --open COMPARTMENT[,COMPARTMENT...] is required");
    if (a.damage_case && a.open)
        throw CUsageError("--open excludes --case");
    if (a.deck && !a.open)
        throw CUsageError("--bulkhead-deck requires --open");
    if (!FindDamageCriteriaSet(a.criteria)) {
        std::string keys;
        for (const CDamageCriteriaSet& set : DamageCriteriaSets())
            keys += std::string(keys.empty() ? "" : ", ") + set.key;
        throw CUsageError("--criteria '" + EscapeText(a.criteria) + "' is none of " + keys);
    }
    CLI::App cmd("damage");
    CStabilityInputs in = ConditionOptions(cmd, a);
    RefuseNotFinite("--bulkhead-deck", a.deck);
    std::vector<CDamageCase> cases;
    if (a.open)
        cases.push_back(DamageCaseOfOpenList(*a.open, a.deck));
    CInputNames names{&cmd, nullptr};
    if (!a.condition)
        if (const CCalcCheck problem = CheckStabilityInputs(in))
            throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
    const std::vector<CDamageResult> results = Calculating(ship, [&](const CStopRequest* stop) {
        CLoadingConditions conditions;
        if (ship.path.empty() && (a.condition || a.damage_case))
            throw CRefusedError("no " +
                                (a.condition ? "loading condition '" + EscapeText(*a.condition)
                                             : "damage case '" + EscapeText(*a.damage_case)) +
                                "': a ship never saved has no conditions file");
        const std::string file = ship.path.empty() ? std::string() : ConditionsPathOf(ship.path);
        bool haveFile = false;
        if (a.condition) {
            const CLoadingCondition* c = FindCondition(ship.path, *a.condition, conditions);
            haveFile = true;
            WarnOfUnknownTanks(ship.model, ship.path, *c);
            TakeCondition(ConditionStabilityInputs(ship.model, *c), cmd, in);
            names.condition = c;
            if (const CCalcCheck problem = CheckStabilityInputs(in))
                throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        } else if (!ship.path.empty()) {
            haveFile = LoadConditionsFile(ship.path, conditions);
        }
        if (a.damage_case) {
            if (*a.damage_case == "all") {
                cases = conditions.DamageCases();
                if (cases.empty())
                    throw CRefusedError(
                        "no damage cases " +
                        (haveFile ? "in " + file : ": " + file + " does not exist"));
            } else if (const CDamageCase* d = conditions.FindDamageCase(*a.damage_case)) {
                cases.push_back(*d);
            } else {
                throw CRefusedError("no damage case '" + EscapeText(*a.damage_case) + "'" +
                                    (haveFile ? " in " + file : ": " + file + " does not exist"));
            }
        }
        RefuseValuesThatAreNotNumbers(ship.model, true, true);
        WarnOfSurfaceFaults(ship.model, true, true);
        WarnOfOpenCompartments(ship.model, cases);
        if (names.condition) {
            for (int i = 1; i <= ship.model.Tanks().GetCount(); ++i) {
                const CTank& tank = *ship.model.Tanks().GetAt(i);
                if (tank.IsEnabled() && tank.GetLoadVolume() > 0 &&
                    !names.condition->TankLoad(tank.GetName()))
                    WarnIfDensityUnset(tank);
            }
        } else {
            WarnOfUnsetDensities(ship.model, true);
        }
        // Every case checked before any is computed.
        const auto source = [&](const CDamageCase& d) {
            return a.open ? std::string("--open") : "damage case '" + EscapeText(d.name) + "'";
        };
        std::vector<CDamageInputs> inputs;
        for (const CDamageCase& d : cases) {
            CDamageInputs di{in, d, conditions.Openings(), a.criteria};
            if (CCalcCheck problem = CheckDamageInputs(di))
                throw CRefusedError(DescribeDamageProblem(*problem, di, names, source(d)));
            if (CCalcCheck problem = CheckDamageShip(ship.model, di))
                throw CRefusedError(DescribeDamageProblem(*problem, di, names, source(d)));
            inputs.push_back(std::move(di));
        }
        std::vector<CDamageResult> out;
        for (const CDamageInputs& di : inputs) {
            try {
                out.push_back(ComputeDamage(ship.model, di, stop));
            } catch (const CCalcFailure& e) {
                throw CRefusedError(source(di.damage) + ": " +
                                    DescribeStabilityProblem(e.Problem(), di.condition, names));
            }
            const CDamageResult& r = out.back();
            if (di.damage.bulkhead_deck && r.outcome == DamageOutcome::floats && !r.deck_edge)
                std::fprintf(stderr,
                             "brelund-calc: warning: damage case '%s': the hull has no outline "
                             "at its bulkhead deck, z = %g m: the deck edge and the margin line "
                             "are not judged\n",
                             EscapeText(r.name).c_str(), *di.damage.bulkhead_deck);
        }
        return out;
    });
    py::list reports;
    for (const CDamageResult& r : results) {
        const CDamageTables t = DamageTables(r, a.criteria);
        py::dict report("summary"_a = RecordRow(t.summary));
        if (r.outcome == DamageOutcome::floats) {
            report["compartments"] = RecordColumns(t.compartments);
            report["openings"] = RecordColumns(t.openings);
            report["criteria"] = RecordColumns(t.criteria);
            report["curve"] = RecordColumns(t.curve);
        }
        reports.append(report);
    }
    if (a.damage_case && *a.damage_case == "all")
        return py::object(reports);
    return reports[0];
}

} // namespace

namespace {

// The calculations' threads, as brelund-calc's --threads: every core unless
// limited. Kept for the life of the interpreter (never destroyed, since the
// scheduler may be gone by the time statics are).
tbb::global_control*& Parallelism() {
    static tbb::global_control* limit = nullptr;
    return limit;
}

void SetThreads(int n) {
    if (n < 0 || n > kMaxThreads)
        throw CRefusedError(
            FormatC("threads (%d) must be 0 (every core) or from 1 to %d", n, kMaxThreads));
    delete Parallelism();
    Parallelism() = n > 0 ? new tbb::global_control(tbb::global_control::max_allowed_parallelism,
                                                    static_cast<std::size_t>(n))
                          : nullptr;
}

} // namespace

PYBIND11_MODULE(brelund, m) {
    m.doc() = "Hydrostatics and intact stability of ships from panelled hull meshes: the "
              "engine of brelund-calc, with numpy arrays in and out.";
    m.attr("__version__") = BRELUND_VERSION;
    // BRELUND_THREADS as brelund-calc reads it; a bad value fails the import
    // with the command line's message.
    SetThreads(ThreadsFromEnvironment());
    m.def("set_threads", &SetThreads, "n"_a,
          "Limits the calculations to n threads (1: serially; 0: every core, the default "
          "unless BRELUND_THREADS is set). The results are the same for any number.");
    m.def(
        "threads",
        [] {
            return tbb::global_control::active_value(tbb::global_control::max_allowed_parallelism);
        },
        "The threads the calculations may run on.");

    static py::exception<CRefusedError> error(m, "BrelundError");
    m.attr("BrelundWarning") =
        py::module_::import("builtins")
            .attr("type")("BrelundWarning",
                          py::make_tuple(py::module_::import("builtins").attr("UserWarning")),
                          py::dict("__module__"_a = "brelund"));
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const CRefusedError& e) {
            error(e.what());
        } catch (const CUsageError& e) {
            error(e.what());
        } catch (const CFileException& e) {
            error(e.what());
        } catch (const CCalcFailure& e) {
            error(e.what());
        } catch (const CCalculationStopped&) {
            error("interrupted; nothing was written");
        }
    });

    py::class_<CPyShip>(m, "Ship",
                        "A ship: hull elements, compartments and tanks, each a set "
                        "of closed meshes, kept in a .nav ship file.")
        .def(py::init<>(), "An empty ship, with no file yet.")
        .def_static("load", &LoadPyShip, "path"_a,
                    "The ship of a .nav ship file (read under the ship's lock).")
        .def("save", &SavePyShip, "path"_a = py::none(), py::kw_only(), "overwrite"_a = false,
             "Writes the ship file (default: the one it was read from) whole or not at all, "
             "under the ship's lock. A file another program changed since it was read is "
             "refused unless overwrite is set.")
        .def_property_readonly(
            "path",
            [](const CPyShip& s) {
                return s.path.empty() ? py::object(py::none()) : py::object(py::str(s.path));
            },
            "The ship file read or last written, None for a ship never saved.")
        .def_property_readonly("elements", &Elements,
                               "The elements, as brelund-calc list gives them: hull elements, "
                               "compartments, tanks, each a dict.")
        .def("add", &AddElement, "kind"_a, "source"_a, "name"_a = py::none(), "scale"_a = 1.0,
             py::kw_only(), "density"_a = py::none(), "allow_empty"_a = false,
             "Adds a 'hull', 'compartment' or 'tank' from a DXF, STL or OBJ file, or from a pair "
             "(vertices N x 3 float64, faces M x 3 or M x 4 0-based indices); returns it.")
        .def(
            "edit",
            [](CPyShip& s, const std::string& name, std::optional<std::string> rename,
               std::optional<bool> enabled, std::optional<Colour> colour,
               std::optional<double> permeability, std::optional<double> density,
               std::optional<double> specific_weight, std::optional<double> filling,
               std::optional<double> load_volume) {
                return EditElement(s, name,
                                   {rename, enabled, colour, permeability, density, specific_weight,
                                    filling, load_volume});
            },
            "name"_a, py::kw_only(), "rename"_a = py::none(), "enabled"_a = py::none(),
            "colour"_a = py::none(), "permeability"_a = py::none(), "density"_a = py::none(),
            "specific_weight"_a = py::none(), "filling"_a = py::none(),
            "load_volume"_a = py::none(),
            "Changes an element's values as brelund-calc edit does; returns it.")
        .def("delete", &DeleteElement, "name"_a, "Deletes an element and its meshes.")
        .def("invert", &InvertElement, "name"_a, "Reverses every face of an element.")
        .def("check", &CheckShip, "names"_a = std::vector<std::string>(),
             "The surface checks of brelund-calc check, one dict per element.")
        .def(
            "hydrostatics",
            [](CPyShip& s, py::object draughts, double heel, double trim, double density,
               double baseline, std::optional<double> ap, std::optional<double> fp,
               std::optional<double> lpp) {
                return Hydrostatics(s, {draughts, heel, trim, density, baseline, ap, fp, lpp});
            },
            "draughts"_a = py::none(), "heel"_a = 0.0, "trim"_a = 0.0, "density"_a = 1.025,
            "baseline"_a = 0.0, "ap"_a = py::none(), "fp"_a = py::none(), "lpp"_a = py::none(),
            "The curves of form of brelund-calc hydrostatics: {'datums': {...}, 'curves': "
            "{key: array}}, each with its 'units'.")
        .def(
            "upright",
            [](CPyShip& s, std::optional<double> zmin, std::optional<double> zmax,
               std::optional<double> dz, std::optional<double> heel, std::optional<double> trim,
               const std::string& rule) {
                return Upright(s, {zmin, zmax, dz, heel, trim, rule});
            },
            py::kw_only(), "zmin"_a = py::none(), "zmax"_a = py::none(), "dz"_a = py::none(),
            "heel"_a = py::none(), "trim"_a = py::none(), "rule"_a = "one-point",
            "The upright hydrostatic table of brelund-calc upright: {column: array}, the "
            "values as the table rounds them, NaN where it shows '-'.")
        .def(
            "inclined",
            [](CPyShip& s, const std::string& kind, std::optional<double> xg,
               std::optional<double> yg, std::optional<double> zg, std::optional<double> precision,
               std::optional<double> vi, std::optional<double> vf, std::optional<double> dv,
               std::optional<double> ai, std::optional<double> af, std::optional<double> da,
               const std::string& rule) {
                return Inclined(s, {kind, xg, yg, zg, precision, vi, vf, dv, ai, af, da, rule});
            },
            "kind"_a = "kz", py::kw_only(), "xg"_a = py::none(), "yg"_a = py::none(),
            "zg"_a = py::none(), "precision"_a = py::none(), "vi"_a = py::none(),
            "vf"_a = py::none(), "dv"_a = py::none(), "ai"_a = py::none(), "af"_a = py::none(),
            "da"_a = py::none(), "rule"_a = "one-point",
            "The cross curves of brelund-calc inclined: volumes, heels and the levers KZ_m "
            "(or GZ_m) as a volumes x heels array, NaN where the table shows '-'.")
        .def(
            "bonjean",
            [](CPyShip& s, double zstart, double zend, double dz, double station0, double station20,
               std::vector<double> extra) {
                return Bonjean(s, {zstart, zend, dz, station0, station20, extra});
            },
            py::kw_only(), "zstart"_a, "zend"_a, "dz"_a, "station0"_a, "station20"_a,
            "extra"_a = std::vector<double>(),
            "The Bonjean tables of brelund-calc bonjean: waterlines z_m, stations (numbers and "
            "x_m), and area_m2 and moment_m3 as waterlines x stations arrays.")
        .def(
            "trim",
            [](CPyShip& s, double xg, double yg, double zg, double weight, double tolerance,
               double heel, double trim, const std::string& rule) {
                CSubmergedTrimInputs in;
                in.x = xg;
                in.y = yg;
                in.z = zg;
                in.weight = weight;
                in.tolerance = tolerance;
                in.heel = heel;
                in.trim = trim;
                in.rule = RuleOf(rule);
                return Trim(s, in);
            },
            py::kw_only(), "xg"_a, "yg"_a, "zg"_a, "weight"_a, "tolerance"_a = 1e-4, "heel"_a = 0.0,
            "trim"_a = 0.0, "rule"_a = "one-point",
            "The trim of a body wholly under water, as brelund-calc trim (heel and trim typed "
            "in radians, given in degrees).")
        .def(
            "tanks",
            [](CPyShip& s, std::vector<std::string> tanks, py::object soundings, py::object volumes,
               py::object trims, double heel, std::optional<double> density) {
                return Tanks(s, {tanks, soundings, volumes, trims, heel, density});
            },
            "tanks"_a = std::vector<std::string>(), py::kw_only(), "soundings"_a = py::none(),
            "volumes"_a = py::none(), "trims"_a = py::none(), "heel"_a = 0.0,
            "density"_a = py::none(),
            "The calibration tables of brelund-calc tanks, one record a row: {key: array}.")
        .def(
            "damage",
            [](CPyShip& s, std::optional<std::string> condition,
               std::optional<std::string> damage_case, std::optional<std::string> open,
               std::optional<double> bulkhead_deck, std::optional<double> lightship,
               std::optional<double> lcg, std::optional<double> vcg, std::optional<double> tcg,
               std::optional<double> density, std::optional<double> flooding_angle, double baseline,
               std::optional<double> ap, std::optional<double> fp, const std::string& criteria) {
                CDamageArgs a;
                a.condition = condition;
                a.damage_case = damage_case;
                a.open = open;
                a.deck = bulkhead_deck;
                a.lightship = lightship;
                a.lcg = lcg;
                a.vcg = vcg;
                a.tcg = tcg;
                a.density = density;
                a.flooding = flooding_angle;
                a.baseline = baseline;
                a.ap = ap;
                a.fp = fp;
                a.criteria = criteria;
                return Damage(s, a);
            },
            "condition"_a = py::none(), py::kw_only(), "case"_a = py::none(), "open"_a = py::none(),
            "bulkhead_deck"_a = py::none(), "lightship"_a = py::none(), "lcg"_a = py::none(),
            "vcg"_a = py::none(), "tcg"_a = py::none(), "density"_a = py::none(),
            "flooding_angle"_a = py::none(), "baseline"_a = 0.0, "ap"_a = py::none(),
            "fp"_a = py::none(), "criteria"_a = DamageCriteriaSets()[0].key,
            "The stability after damage of brelund-calc damage: per case {'summary'[, "
            "'compartments', 'openings', 'criteria', 'curve']}; a list of them for case='all'.")
        .def(
            "stability",
            [](CPyShip& s, std::optional<std::string> condition, py::object heels,
               std::optional<double> lightship, std::optional<double> lcg,
               std::optional<double> vcg, std::optional<double> tcg, std::optional<double> density,
               std::optional<double> flooding_angle, double baseline, std::optional<double> ap,
               std::optional<double> fp, bool weather, double wind_pressure,
               std::optional<double> bilge_keel_area) {
                CStabilityArgs a;
                a.condition = condition;
                a.heels = heels;
                a.lightship = lightship;
                a.lcg = lcg;
                a.vcg = vcg;
                a.tcg = tcg;
                a.density = density;
                a.flooding = flooding_angle;
                a.baseline = baseline;
                a.ap = ap;
                a.fp = fp;
                a.weather = weather;
                a.wind_pressure = wind_pressure;
                a.bilge_keel_area = bilge_keel_area;
                return Stability(s, a);
            },
            "condition"_a = py::none(), py::kw_only(), "heels"_a = py::none(),
            "lightship"_a = py::none(), "lcg"_a = py::none(), "vcg"_a = py::none(),
            "tcg"_a = py::none(), "density"_a = py::none(), "flooding_angle"_a = py::none(),
            "baseline"_a = 0.0, "ap"_a = py::none(), "fp"_a = py::none(), "weather"_a = false,
            "wind_pressure"_a = 504.0, "bilge_keel_area"_a = py::none(),
            "The GZ curve and intact criteria of brelund-calc stability: {'curve', 'summary', "
            "'criteria'[, 'openings'][, 'weather']}.");
}
