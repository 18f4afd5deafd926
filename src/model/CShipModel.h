// The ship: hull elements, compartments and tanks, and the specific weight of
// sea water that turns displaced volume into weight.
#pragma once

#include "CCompartment.h"
#include "CShipElement.h"
#include "CTank.h"
#include "geometry/HydroMethod.h"

#include <functional>
#include <memory>
#include <string>

class CFile;
class CHydroProperties;
class CMatrixBase;
class CSectionContour;

inline constexpr double kSeaWaterSpecificWeight = 1025.0; // [kg/m^3]
inline constexpr double kTonnesPerKg = 1e-3;

// The centre of gravity g of a loaded ship at the attitude (heel, trim), its
// moving loads placed for it; false when it cannot be formed.
using CCentreOfGravityAt = std::function<bool(double heel, double trim, CVector3& g)>;
// Where Newton's steps of the free-trim search start: trim [rad] and the
// draught in the frame of (heel, trim) [m].
struct CTrimStart {
    double trim = 0, draught = 0;
};

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

    double GetSeaSpecificWeight() const { return m_sea_specific_weight; }         // [kg/m^3]
    double GetSeaDensity() const { return m_sea_specific_weight * kTonnesPerKg; } // [t/m^3]

    // Removes every tank, compartment and hull element; sea water back to 1025.
    void Clear();
    // Exchanges the whole contents of two ships; a ship read aside replaces
    // the one shown only once it has been read whole.
    void Swap(CShipModel& other) noexcept;
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
    // Where the element object lies: its kind code and 1-based position in
    // its list; false, outputs untouched, when it is no element of the ship.
    bool LocateElement(const CShipElement* element, int& kind, int& index) const;
    // Takes element index (1-based) of the kind's list out of the ship
    // without deleting it, so that it can be put back whole (an undone
    // add, a deletion undone); null when there is none.
    std::unique_ptr<CShipElement> DetachElement(int kind, int index);
    // Puts an element taken out by DetachElement back into the kind's list
    // at index (1..count + 1, any other index puts it last). The element
    // must be of the kind's class (CCompartment, CTank); null, the element
    // handed back untouched in element, when it is not or the kind is none.
    CShipElement* InsertElement(int kind, int index, std::unique_ptr<CShipElement>& element);

    // Elements of every kind, in file order: hull, compartments, tanks.
    int GetElementCount() const;

    // Hydrostatics of the ship: enabled hull elements at full volume,
    // enabled compartments scaled by their permeability (or as the
    // method's compartment counts say, in their place); tanks only carry
    // their liquid loads. Rotations and draughts as for the elements. Every
    // evaluation takes the method (geometry/HydroMethod.h): the tables' one,
    // the default, or the exact one, with its compartment policy. Weights
    // are in tonnes and densities in t/m^3.

    // Volumes of the enabled hull elements plus the enabled compartments'
    // volumes times their permeability.
    double TotalVolume(const CHydroMethod& method = {}) const;
    double ImmersedVolume(const CMatrixBase& r, double draught,
                          const CHydroMethod& method = {}) const;
    // Lowest zmin and highest zmax over all hull elements, enabled or not;
    // false, outputs untouched, when no hull element has a vertex.
    bool ZRange(const CMatrixBase& r, double& zmin, double& zmax) const;
    // The draught at which the immersed volume is volume (false position on
    // the ship, as FindLevel on an element).
    SearchStatus FindDraught(double volume, const CMatrixBase& r, double& draught, double tolerance,
                             const CHydroMethod& method = {}) const;
    // The same with the ship's TotalVolume(method) already at hand, for
    // searches that call it many times on an unchanged ship.
    SearchStatus FindDraught(double volume, const CMatrixBase& r, double& draught, double tolerance,
                             double totalVolume, const CHydroMethod& method = {}) const;
    // The body wholly immersed: panel area, volume and centre of the enabled
    // hull elements and compartments; the tables' method takes the
    // compartments at full volume, the exact one at their permeability.
    // Volume 0 gives the zero centre.
    void VolumeCentroid(double& area, double& volume, CVector3& centroid,
                        const CHydroMethod& method = {}) const;
    // Resets result and adds every enabled hull element's and compartment's
    // immersed part, the compartments by the method's policy; the waterline
    // is always collected (by the exact rule only to be drawn: its record
    // holds the waterplane already).
    void ImmersedProperties(CHydroProperties& result, double draught, const CMatrixBase& r,
                            const CHydroMethod& method = {}) const;
    // Weight of the liquid in the enabled tanks [t].
    double TankLoadWeight() const;
    // g = (W g + sum of the tanks' load weight times liquid centre) / (W +
    // tank load weight): the centre of gravity with the liquids placed for
    // heel and trim (CLoading). A tank whose level search fails gives
    // notConverged. weight [t].
    SearchStatus CentreOfGravity(CVector3& g, double weight, double heel, double trim,
                                 const CHydroMethod& method = {}) const;
    // Free to trim: the trim (and its draught) at which the ship of volume
    // volume, heeled by heel, with its liquids moving, has no trimming lever.
    // g0 is the centre of gravity without the liquids, whose weight is that
    // of the sea water displaced less the liquids'.
    SearchStatus FindTrimEquilibrium(const CVector3& g0, double volume, double heel, double& trim,
                                     double& draught, double volumeTolerance, double leverTolerance,
                                     const CHydroMethod& method = {}) const;
    // The same for a centre of gravity that the caller forms at each
    // attitude the search tries (its own weights and moving loads). By the
    // exact rule Newton's steps on draught and trim come first, from start
    // when given, else from trim and draught; a step that leaves the body
    // or does not halve the misfit hands over to the bracketing search
    // from trim and draught, whose answer Newton's steps then finish.
    // record, when given, receives the immersed sums at the answer (by its
    // own collect flag). totalVolume: the ship's TotalVolume(method) when the
    // caller has it at hand (a pass over every face saved per search);
    // negative: taken here.
    SearchStatus FindTrimEquilibrium(const CCentreOfGravityAt& gravity, double volume, double heel,
                                     double& trim, double& draught, double volumeTolerance,
                                     double leverTolerance, const CHydroMethod& method = {},
                                     const CTrimStart* start = nullptr,
                                     CHydroProperties* record = nullptr,
                                     double totalVolume = -1) const;
    // The trim of a body wholly under water whose liquids move with the trim:
    // Newton steps on the trimming lever about the fixed centre of
    // buoyancy. g0 and weight [t] are those of everything but the liquids.
    SearchStatus FindSubmergedTrim(const CVector3& g0, double weight, double heel, double& trim,
                                   float tolerance, const CHydroMethod& method = {}) const;

    // The same evaluations with the rule as a type, for the face loops'
    // callers that run them millions of times; counts as the method's
    // (null: the compartments as the model has them).
    template <class Rule> double TotalVolumeBy(const CCompartmentCounts* counts = nullptr) const;
    template <class Rule>
    double ImmersedVolumeBy(const CMatrixBase& r, double draught,
                            const CCompartmentCounts* counts = nullptr) const;
    template <class Rule>
    SearchStatus FindDraughtBy(double volume, const CMatrixBase& r, double& draught,
                               double tolerance, double totalVolume,
                               const CCompartmentCounts* counts = nullptr) const;

    // The box of every hull element, enabled or not, that has a vertex;
    // false, outputs untouched, when there is none.
    bool HullExtents(CVector3& min, CVector3& max) const;
    // Appends the cut of every enabled hull element by the plane x = const
    // (the contour is not emptied first); true when the contour holds any
    // segment.
    bool Section(double x, CSectionContour& contour) const;

    // Ship evaluations (ImmersedVolume and ImmersedProperties calls) made on
    // the calling thread since it started: what a search costs.
    static long long EvaluationCount() { return s_evaluations; }

    // The ship file: H hull records, K compartment records, T tank records.
    // Load clears the model first; on a damaged file it raises
    // CFileException::damaged and leaves the model empty.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    // The free-trim search by bracketing the trim, each trim's draught by
    // FindDraught.
    SearchStatus FindLeverZeroFrom(const CCentreOfGravityAt& gravity, double volume, double heel,
                                   double& trim, double& draught, double volumeTolerance,
                                   double leverTolerance, double totalVolume,
                                   const CHydroMethod& method) const;

    COwningList<CShipElement> m_hull;
    COwningList<CTank> m_tanks;
    COwningList<CCompartment> m_compartments;
    double m_sea_specific_weight = kSeaWaterSpecificWeight;
    static thread_local long long s_evaluations;
};
