// An element of the ship: a list of closed meshes with a name, a display
// colour and an enabled flag. Hull elements are plain CShipElement objects;
// compartments and tanks derive from it.
#pragma once

#include "CMesh.h"
#include "COwningList.h"

#include <cstdint>
#include <string>

// Element kind codes, wherever the model and the user interface exchange an element.
enum ElementKind { kindHull = 1, kindCompartment = 2, kindTank = 3 };

// 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

inline constexpr Colour kHullColour = 0x808080;
inline constexpr Colour kCompartmentColour = 0xC00000;
inline constexpr Colour kTankColour = 0x0000C0;

class CDxfFile;

class CShipElement : public COwningList<CMesh> {
public:
    CShipElement() = default;
    explicit CShipElement(Colour colour) : m_colour(colour) {}

    const std::string& GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    Colour GetColour() const { return m_colour; }
    void SetColour(Colour colour) { m_colour = colour; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

    // Reverses every face of every mesh, in list order.
    void InvertNormals();
    // The enclosed volume: the fan-triangle volume of every face of every
    // mesh, in order. Negative for meshes oriented inwards.
    double Volume() const;
    // Faces over all meshes.
    long long GetFaceCount() const;

    // Replaces the meshes with those of the drawing's POLYLINEs from the
    // file's position on, in file order: 3D polygon meshes (flags exactly 16)
    // and polyface meshes (flags exactly 64). Any other POLYLINE, and one
    // whose records are damaged, is passed over.
    void ImportDxf(CDxfFile& file);

    // The element body of the ship file: enabled flag, colour, name, meshes.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    std::string m_name;
    Colour m_colour = kHullColour;
    bool m_enabled = true;
};
