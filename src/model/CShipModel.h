// The ship: hull elements, compartments and tanks, and the specific weight of
// sea water that turns displaced volume into weight.
#pragma once

#include "CCompartment.h"
#include "CShipElement.h"
#include "CTank.h"

#include <string>

class CFile;

inline constexpr double kSeaWaterSpecificWeight = 1025.0;

class CShipModel {
public:
    CShipModel() = default;
    virtual ~CShipModel() = default;
    CShipModel(const CShipModel&) = delete;
    CShipModel& operator=(const CShipModel&) = delete;

    COwningList<CShipElement>& HullElements() { return m_hull; }
    const COwningList<CShipElement>& HullElements() const { return m_hull; }
    COwningList<CTank>& Tanks() { return m_tanks; }
    const COwningList<CTank>& Tanks() const { return m_tanks; }
    COwningList<CCompartment>& Compartments() { return m_compartments; }
    const COwningList<CCompartment>& Compartments() const { return m_compartments; }

    double GetSeaSpecificWeight() const { return m_sea_specific_weight; }

    // Removes every tank, compartment and hull element; sea water back to 1025.
    void Clear();
    // A new element of the kind (kindHull, kindCompartment, kindTank) with
    // its defaults, at the end of its list; null for any other kind.
    CShipElement* AddElement(int kind);
    // The first element named exactly name, searching the hull elements, then
    // the compartments, then the tanks; its kind code goes to *kind.
    CShipElement* FindElement(const std::string& name, int* kind = nullptr);
    const CShipElement* FindElement(const std::string& name, int* kind = nullptr) const;
    bool ContainsName(const std::string& name) const { return FindElement(name) != nullptr; }
    // Deletes the element FindElement finds; false when none.
    bool DeleteElement(const std::string& name);

    // Elements of every kind, in file order: hull, compartments, tanks.
    int GetElementCount() const;

    // The ship file: H hull records, K compartment records, T tank records.
    // Load clears the model first; on a damaged file it raises
    // CFileException::damaged and leaves the model empty.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    COwningList<CShipElement> m_hull;
    COwningList<CTank> m_tanks;
    COwningList<CCompartment> m_compartments;
    double m_sea_specific_weight = kSeaWaterSpecificWeight;
};
