#include "CCompartment.h"

#include "ShipFileIO.h"

void CCompartment::Load(CFile& file) {
    m_permeability = shipfile::ReadF64(
        file, {"the permeability of a compartment", "la permeabilità di un compartimento"});
    CShipElement::Load(file);
}

void CCompartment::Store(CFile& file) const {
    shipfile::WriteF64(file, m_permeability);
    CShipElement::Store(file);
}
