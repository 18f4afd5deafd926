// brelund-calc add, edit, delete, invert and export: the element tree's and
// the properties dialog's editing, on a ship file. Each command reads the
// ship file, changes the model and writes it back whole or not at all.
#include "CliCommon.h"
#include "platform/ShipLock.h"

#include "io/CDxfFile.h"
#include "model/ElementEditing.h"
#include "model/MeshCheck.h"
#include "model/MeshFiles.h"
#include "model/ShipFile.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <tbb/task_arena.h>
#include <thread>

namespace {

int KindCode(const std::string& kind) {
    return kind == "hull" ? kindHull : kind == "compartment" ? kindCompartment : kindTank;
}

struct Found {
    CShipElement* element;
    int kind;
};

Found FindOrRefuse(CShipModel& ship, const std::string& shipPath, const std::string& name) {
    int kind = 0;
    CShipElement* element = ship.FindElement(name, &kind);
    if (element == nullptr)
        throw CRefusedError(shipPath + ": no element named '" + EscapeField(name) + "'");
    return {element, kind};
}

// A word as the shell reads it back: quoted when it holds anything but
// letters, digits and a few safe signs.
std::string ShellWord(const std::string& word) {
    const bool plain = !word.empty() &&
                       word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789._/-+=:,") == std::string::npos;
    if (plain)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The name an element gets from its drawing: the drawing's absolute path.
std::string DrawingName(const std::string& drawing) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(drawing, error);
    return error ? drawing : absolute.lexically_normal().string();
}

void PrintElement(int kind, const CShipElement& element) {
    const std::string out = std::string(kElementListHeader) + ElementLine(kind, element);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// --density RHO [t/m^3] is kept as RHO * 1000 kg/m^3: refuses a value
// whose product is not a finite number.
void RefuseDensityNotKept(double density) {
    if (!std::isfinite(density))
        throw CRefusedError(FormatC("--density (%g) is not a finite number", density));
    if (!std::isfinite(density * 1000))
        throw CRefusedError(FormatC("--density (%g t/m^3) is beyond the numbers a specific weight "
                                    "in kg/m^3 can hold",
                                    density));
}

// The tank takes a negative density as 0: says so.
void SayIfDensityClamped(const CTank& tank, double density) {
    if (tank.GetSpecificWeight() != density * 1000)
        std::fprintf(stderr,
                     "brelund-calc: warning: --density %g t/m^3 was taken as %g t/m^3: a density "
                     "is not negative\n",
                     density, tank.GetDensity());
}

void AddAdd(CLI::App& app, int& status) {
    struct Args {
        std::string ship, kind, drawing, name;
        double scale = 1, density = 0;
        bool allowEmpty = false;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "add", "Add a hull element, compartment or tank read from a DXF drawing, an STL or an OBJ "
               "file (creates the ship file when it does not exist); warns of an open, "
               "non-manifold, mixed or inward surface");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("KIND", a->kind, "hull, compartment or tank")
        ->required()
        ->check(CLI::IsMember({"hull", "compartment", "tank"}));
    cmd->add_option("DRAWING", a->drawing, "DXF drawing, STL or OBJ file holding the meshes")
        ->required();
    CLI::Option* nameOpt = cmd->add_option(
        "--name", a->name, "Element name (default: the drawing's absolute path), made unique");
    cmd->add_option("--scale", a->scale,
                    "Multiply every coordinate by this, for drawings in other units (0.001 for "
                    "millimetres; default 1)");
    CLI::Option* density = cmd->add_option(
        "--density", a->density,
        "A tank's liquid density [t/m^3], kept as its specific weight in kg/m^3 (default 0.001, "
        "which list, check and stability warn of)");
    cmd->add_flag("--allow-empty", a->allowEmpty,
                  "Add the element even when the file holds no mesh");
    cmd->callback([a, nameOpt, density, &status] {
        if (nameOpt->count() > 0 && a->name.empty())
            throw CUsageError("--name: an element name cannot be empty");
        if (density->count() > 0 && KindCode(a->kind) != kindTank)
            throw CUsageError("--density applies to tanks only");
        if (!(a->scale > 0) || !std::isfinite(a->scale))
            throw CRefusedError("--scale: the scale must be a positive number");
        if (density->count() > 0)
            RefuseDensityNotKept(a->density);
        const CShipLock lock(a->ship);
        SayWhatTheLockRepaired(lock, a->ship);
        CShipModel ship;
        LoadShip(ship, a->ship, true);
        const int kind = KindCode(a->kind);
        const std::string name = nameOpt->count() > 0 ? a->name : DrawingName(a->drawing);
        CShipElement* element = AddElementFromFile(ship, kind, a->drawing, name, a->scale);
        if (element->GetFaceCount() == 0) {
            if (!a->allowEmpty)
                throw CRefusedError(
                    "no mesh found in " + a->drawing +
                    " (looked for DXF polyface and polygon-mesh POLYLINEs and 3DFACEs, STL "
                    "facets, OBJ faces); nothing added (--allow-empty adds it all the same)");
            std::fprintf(stderr, "brelund-calc: warning: no mesh found in %s\n",
                         a->drawing.c_str());
        }
        if (density->count() > 0) {
            auto& tank = static_cast<CTank&>(*element);
            tank.SetSpecificWeight(a->density * 1000);
            SayIfDensityClamped(tank, a->density);
        }
        // The ship is written (and flushed to the disk) and the element
        // listed on a thread of their own while the check reads the element
        // on the calculation's threads: the same work and output as one
        // after the other, a failure to save reported first.
        const auto save = [&] {
            StoreShipFile(ship, a->ship);
            PrintElement(kind, *element);
        };
        CElementCheck check;
        if (tbb::this_task_arena::max_concurrency() > 1) {
            std::exception_ptr saveFault, checkFault;
            std::thread saver([&] {
                try {
                    save();
                } catch (...) {
                    saveFault = std::current_exception();
                }
            });
            try {
                check = CheckElement(*element);
            } catch (...) {
                checkFault = std::current_exception();
            }
            saver.join();
            if (saveFault)
                std::rethrow_exception(saveFault);
            if (checkFault)
                std::rethrow_exception(checkFault);
        } else {
            save();
            check = CheckElement(*element);
        }
        const std::string invert =
            "brelund-calc invert " + ShellWord(a->ship) + " " + ShellWord(element->GetName());
        for (const std::string& line : DescribeProblems(*element, kind, check, invert))
            std::fprintf(stderr, "brelund-calc: warning: %s\n", line.c_str());
        // An element so small (a scale for other units taken twice, say)
        // that the cube of its size lies below the smallest numbers is
        // there but counts no volume.
        CVector3 lo, hi;
        if (element->Extents(lo, hi)) {
            const double size = std::max({hi.X() - lo.X(), hi.Y() - lo.Y(), hi.Z() - lo.Z()});
            if (size > 0 && size * size * size < DBL_MIN && element->Volume() == 0) {
                std::string line =
                    ElementLabel(*element, kind) +
                    FormatC(" encloses no volume: its size (%g m) is too small for its volume "
                            "to be told from 0",
                            size);
                if (a->scale != 1)
                    line += FormatC(" (--scale %g)", a->scale);
                std::fprintf(stderr, "brelund-calc: warning: %s\n", line.c_str());
            }
        }
        status = exitOk;
    });
}

void AddEdit(CLI::App& app, int& status) {
    struct Args {
        std::string ship, name, rename;
        int enabled = 1;
        std::uint32_t colour = 0;
        double permeability = 0, density = 0, weight = 0, filling = 0, load = 0;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "edit", "Change an element's properties; options not given keep their values");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("NAME", a->name, "Name of the element")->required();
    auto* rename = cmd->add_option("--rename", a->rename, "New name, made unique");
    auto* enabled =
        cmd->add_option("--enabled", a->enabled, "1 enabled, 0 disabled")->check(CLI::Range(0, 1));
    auto* colour = cmd->add_option("--colour", a->colour,
                                   "Display colour 0x00BBGGRR as a "
                                   "decimal integer (red in the low byte)");
    auto* perm =
        cmd->add_option("--permeability", a->permeability, "Compartment permeability, 0..1");
    auto* density =
        cmd->add_option("--density", a->density,
                        "Tank liquid density [t/m^3], kept as its specific weight in kg/m^3");
    auto* weight =
        cmd->add_option("--specific-weight", a->weight,
                        "Tank liquid specific weight [kg/m^3], the older form of --density");
    density->excludes(weight);
    auto* filling = cmd->add_option("--filling", a->filling, "Tank filling ratio, 0..1");
    auto* load = cmd->add_option("--load-volume", a->load, "Tank liquid load volume [m^3]");
    filling->excludes(load);
    cmd->callback([=, &status] {
        const CShipLock lock(a->ship);
        SayWhatTheLockRepaired(lock, a->ship);
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        const Found f = FindOrRefuse(ship, a->ship, a->name);
        if (f.kind != kindCompartment && perm->count() > 0)
            throw CUsageError("--permeability applies to compartments only");
        if (f.kind != kindTank &&
            (density->count() + weight->count() + filling->count() + load->count()) > 0)
            throw CUsageError(
                "--density, --specific-weight, --filling and --load-volume apply to tanks only");
        if (rename->count() > 0 && a->rename.empty())
            throw CUsageError("--rename: an element name cannot be empty");

        CElementValues v = LoadElementValues(*f.element, f.kind);
        if (rename->count() > 0)
            v.name = a->rename;
        if (enabled->count() > 0)
            v.enabled = a->enabled;
        if (colour->count() > 0)
            v.colour = a->colour;
        if (perm->count() > 0)
            v.permeability = a->permeability;
        if (density->count() > 0) {
            // A density that is not a number goes on to be refused with the others.
            if (std::isfinite(a->density))
                RefuseDensityNotKept(a->density);
            v.specific_weight = a->density * 1000;
        }
        if (weight->count() > 0)
            v.specific_weight = a->weight;
        if (filling->count() > 0)
            v.filling_ratio = a->filling;
        if (load->count() > 0) {
            v.load_volume = a->load;
            v.load_entry = 1;
        }
        if (const CElementValueCheck c = FindElementValueFault(v);
            c.fault != CElementValueFault::none) {
            // The option that sets the value, whether it was typed or the
            // value comes from the ship file, and the value as typed
            // (--density in t/m^3, the others as kept).
            const struct {
                double CElementValues::*field;
                const char* option;
                const char* name;
                CLI::Option* given;
                double typed;
            } fields[] = {
                {&CElementValues::permeability, "--permeability", "permeability", perm,
                 a->permeability},
                {&CElementValues::specific_weight, "--density", "density", density, a->density},
                {&CElementValues::specific_weight, "--specific-weight", "specific weight", weight,
                 a->weight},
                {&CElementValues::load_volume, "--load-volume", "load volume", load, a->load},
                {&CElementValues::filling_ratio, "--filling", "filling ratio", filling,
                 a->filling}};
            // The specific weight is named by the option typed, or when it
            // comes from the ship file by --density, which sets it now.
            const CLI::Option* const liquid = weight->count() > 0 ? weight : density;
            for (const auto& f : fields) {
                if (f.field != c.field ||
                    (f.field == &CElementValues::specific_weight && f.given != liquid))
                    continue;
                const double value = f.given->count() > 0 ? f.typed : v.*f.field;
                const char* rule = c.fault == CElementValueFault::notANumber
                                       ? "is not a finite number"
                                       : "lies outside 0 to 1";
                throw CRefusedError(a->ship + ": '" + EscapeField(a->name) + "': " +
                                    (f.given->count() > 0
                                         ? FormatC("%s (%g) %s", f.option, value, rule)
                                         : FormatC("its %s (%g) %s: give one with %s", f.name,
                                                   value, rule, f.option)));
            }
        }
        StoreElementValues(ship, *f.element, v);
        // The tank keeps its values within what it can hold: say so when it
        // changed what was asked.
        if (f.kind == kindTank) {
            const auto& tank = static_cast<const CTank&>(*f.element);
            if (density->count() > 0)
                SayIfDensityClamped(tank, a->density);
            if (weight->count() > 0 && tank.GetSpecificWeight() != a->weight)
                std::fprintf(stderr,
                             "brelund-calc: warning: --specific-weight %g was taken as %g: a "
                             "specific weight is not negative\n",
                             a->weight, tank.GetSpecificWeight());
            if (load->count() > 0 && tank.GetLoadVolume() != a->load)
                std::fprintf(stderr,
                             "brelund-calc: warning: --load-volume %g was taken as %g: the load "
                             "lies between 0 and the tank's volume (%g m^3)\n",
                             a->load, tank.GetLoadVolume(), tank.Volume());
        }
        StoreShipFile(ship, a->ship);
        PrintElement(f.kind, *f.element);
        status = exitOk;
    });
}

void AddDelete(CLI::App& app, int& status) {
    auto ship = std::make_shared<std::string>(), name = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("delete", "Delete an element and its meshes");
    cmd->add_option("SHIP", *ship, "Ship file (.nav)")->required();
    cmd->add_option("NAME", *name, "Name of the element")->required();
    cmd->callback([=, &status] {
        const CShipLock lock(*ship);
        SayWhatTheLockRepaired(lock, *ship);
        CShipModel model;
        LoadShip(model, *ship, false);
        FindOrRefuse(model, *ship, *name);
        model.DeleteElement(*name);
        StoreShipFile(model, *ship);
        status = exitOk;
    });
}

void AddInvert(CLI::App& app, int& status) {
    auto ship = std::make_shared<std::string>(), name = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "invert", "Reverse the orientation of every face of an element (its normals)");
    cmd->add_option("SHIP", *ship, "Ship file (.nav)")->required();
    cmd->add_option("NAME", *name, "Name of the element")->required();
    cmd->callback([=, &status] {
        const CShipLock lock(*ship);
        SayWhatTheLockRepaired(lock, *ship);
        CShipModel model;
        LoadShip(model, *ship, false);
        const Found f = FindOrRefuse(model, *ship, *name);
        f.element->InvertNormals();
        StoreShipFile(model, *ship);
        PrintElement(f.kind, *f.element);
        status = exitOk;
    });
}

void AddExport(CLI::App& app, int& status) {
    struct Args {
        std::string ship, name, out;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "export", "Write an element's meshes as a DXF drawing, or as an STL or OBJ file when the "
                  "output's name ends in .stl or .obj");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("NAME", a->name, "Name of the element")->required();
    cmd->add_option("OUT", a->out, "Drawing or mesh file to write")->required();
    cmd->callback([a, &status] {
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        const Found f = FindOrRefuse(ship, a->ship, a->name);
        RefuseSameFile(a->out, {{"ship", a->ship}});
        std::string extension = std::filesystem::path(a->out).extension().string();
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".stl") {
            WriteFileAtomically(a->out, [&](CFile& file) { WriteStl(*f.element, file); },
                                {.kind = "mesh file"});
        } else if (extension == ".obj") {
            WriteFileAtomically(a->out, [&](CFile& file) { WriteObj(*f.element, file); },
                                {.kind = "mesh file"});
        } else {
            WriteFileAtomically<CDxfFile>(a->out,
                                          [&](CDxfFile& file) {
                                              file.WriteHead();
                                              for (int m = 1; m <= f.element->GetCount(); ++m)
                                                  f.element->GetAt(m)->ExportDxf(file);
                                              file.WriteTail();
                                          },
                                          {.kind = "drawing"});
        }
        status = exitOk;
    });
}

} // namespace

void AddModelCommands(CLI::App& app, int& status) {
    AddAdd(app, status);
    AddEdit(app, status);
    AddDelete(app, status);
    AddInvert(app, status);
    AddExport(app, status);
}
