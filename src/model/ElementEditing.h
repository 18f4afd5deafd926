// Editing the elements of a ship as the element tree and the properties
// dialog do: adding an element from a DXF drawing, naming it, and storing
// the edited values. The dialogs and brelund-calc share these.
#pragma once

#include "CShipModel.h"

#include <string>
#include <vector>

// name, with underscores appended until no element of the model bears it.
std::string MakeNameUnique(const CShipModel& ship, std::string name);

// Replaces element's meshes with those of a mesh file, told apart by its
// content and extension: a DXF drawing (the ENTITIES section searched first
// when entities is set), an STL file (one mesh) or an OBJ file (a mesh per
// object or group); every coordinate multiplied by scale. A CFileException
// when the file cannot be read, is damaged, or holds a mesh, once scaled,
// whose sums would not be numbers (MeshNumberProblem), named by its number.
void ImportMeshFile(CShipElement& element, const std::string& path, double scale, bool entities);

// Adds an element of kind read from a mesh file (as ImportMeshFile; the
// ENTITIES section is searched first for a hull element only) and names it
// name made unique. When the file cannot be read the exception passes on
// and the ship is left as it was.
CShipElement* AddElementFromFile(CShipModel& ship, int kind, const std::string& path,
                                 const std::string& name, double scale = 1);

// One thing wrong with the values an element holds (as a damaged or
// foreign ship file may bring them).
enum class ElementValue { vertices, permeability, specificWeight, loadVolume, fillingRatio };
struct CValueProblem {
    std::string text;  // what is wrong, in a line
    bool not_a_number; // a value that is not a finite number, which spreads into every result
    // Which value, for a front end to word the problem in its own language;
    // count is the number of vertices concerned.
    ElementValue value = ElementValue::vertices;
    long long count = 0;
};

// What is wrong with an element of kind kind: vertices whose coordinates
// are not finite numbers; a compartment's permeability that is not a
// number or lies outside [0, 1]; a tank's specific weight, load volume or
// filling ratio that is not a number or is negative, or a load above the
// tank's volume.
std::vector<CValueProblem> FindValueProblems(const CShipElement& element, int kind);

// The first enabled element a calculation would read (hull elements always,
// compartments and tanks as asked) holding a value that is not a finite
// number, with its kind and the problem; null when there is none. Such a
// value spreads into every result, so the calculations refuse the ship.
const CShipElement* FindValueThatIsNotANumber(const CShipModel& ship, bool compartments, bool tanks,
                                              int& kind, CValueProblem& problem);

// The editable values of one element, as the properties dialog holds them.
struct CElementValues {
    int kind = 0;
    int enabled = 0;
    Colour colour = 0;
    std::string name;
    double permeability = 0;
    double specific_weight = 0;
    double filling_ratio = 0;
    double load_volume = 0;
    // 1: the load is given as a volume; otherwise as a filling ratio.
    int load_entry = 0;
};

// The values of element, whose kind code is kind.
CElementValues LoadElementValues(const CShipElement& element, int kind);

// What refuses values, for each front end to word: a value that is not a
// finite number, or a permeability or filling ratio outside [0, 1].
enum class CElementValueFault { none, notANumber, outsideZeroToOne };
struct CElementValueCheck {
    CElementValueFault fault = CElementValueFault::none;
    // Which value: &CElementValues::permeability, ...; null with none.
    double CElementValues::*field = nullptr;
};
CElementValueCheck FindElementValueFault(const CElementValues& values);

// Stores values into element: enabled, colour, then the name (made unique
// when it changes) for every kind; the permeability of a compartment; a
// tank's specific weight, then its load by volume or by filling ratio.
void StoreElementValues(CShipModel& ship, CShipElement& element, const CElementValues& values);

// Puts back values LoadElementValues read from element, exactly as they
// were: the name as given (it was unique when read), a tank's specific
// weight, load volume and filling ratio as stored, none derived from
// another. An edit is undone and redone this way.
void RestoreElementValues(CShipElement& element, const CElementValues& values);
