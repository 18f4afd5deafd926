// A compartment: an internal space that takes water in proportion to its
// permeability.
#pragma once

#include "CShipElement.h"

class CCompartment : public CShipElement {
public:
    CCompartment() : CShipElement(kCompartmentColour) {}

    double GetPermeability() const { return m_permeability; }
    // Stored unchanged.
    void SetPermeability(double permeability) { m_permeability = permeability; }
    // Volume times permeability.
    double EffectiveVolume() const { return Volume() * m_permeability; }
    // The immersed volume times the permeability.
    double ImmersedVolume(const CMatrixBase& r, double draught) const {
        return CShipElement::ImmersedVolume(r, draught) * m_permeability;
    }
    // The element's immersed properties with V alone scaled by the
    // permeability: the wetted area, the moments and the waterline are those
    // of the whole immersed part.
    void ImmersedProperties(CHydroProperties& result, double draught, const CMatrixBase& r) const;

    // Permeability, then the element body.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    double m_permeability = 1.0;
};
