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
    // Permeability, then the element body.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    double m_permeability = 1.0;
};
