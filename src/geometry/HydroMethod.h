// How the engine integrates an immersed body: the parameter every
// evaluation of the ship takes, so that one record and one face loop serve
// both ways of integrating.
//
// The rule: the one-point rule of the tables (each fan triangle's terms at
// its centroid, the waterplane from the waterline's segments afterwards), or
// the exact rule (closed forms over each immersed triangle, the waterplane
// with them; geometry/IntegrationRules.h).
//
// The compartment policy: volumeOnly scales a compartment's volume by its
// permeability and takes its moments, its walls' wetted area and its
// waterline as they are (the tables' sums); allSums scales its volume, its
// moments and its waterplane alike and leaves its walls out of the wetted
// surface, which is the hull's alone (the physics). The one-point rule
// integrates its waterplane from the waterline once every element has been
// cut, so it takes the volumeOnly policy only; each rule comes with its own.
//
// The compartments' counts: by default an enabled compartment counts at its
// permeability. A damage case (calc/DamageStability.h) counts some of them
// otherwise, as lost buoyancy; it hands its counts with the method, so that
// every search runs on the ship as it is, which stays untouched.
#pragma once

#include <vector>

enum class IntegrationRule { onePoint, exact };
enum class CompartmentPolicy { volumeOnly, allSums };

// How one compartment counts in place of the model's own count: whether it
// counts at all, and the factor its immersed sums are taken with (the
// permeability, with the sign that makes the space lost buoyancy whichever
// way its faces point).
struct CCompartmentCount {
    bool counted = false;
    double factor = 0;
    friend bool operator==(const CCompartmentCount&, const CCompartmentCount&) = default;
};
// One per compartment of the ship, in its order.
using CCompartmentCounts = std::vector<CCompartmentCount>;

struct CHydroMethod {
    IntegrationRule rule = IntegrationRule::onePoint;
    CompartmentPolicy compartments = CompartmentPolicy::volumeOnly;
    // The compartments' counts in place of the model's (not owned; it
    // outlives the evaluations); null: the model's.
    const CCompartmentCounts* counts = nullptr;

    // The tables' method (the default) and the exact one.
    static constexpr CHydroMethod Tables() { return {}; }
    static constexpr CHydroMethod Exact() {
        return CHydroMethod{IntegrationRule::exact, CompartmentPolicy::allSums};
    }
    static constexpr CHydroMethod For(IntegrationRule r) {
        return r == IntegrationRule::exact ? Exact() : Tables();
    }
    bool IsExact() const { return rule == IntegrationRule::exact; }
    // The same method with the compartments counted as counts says (null:
    // as the model has them).
    CHydroMethod WithCounts(const CCompartmentCounts* c) const {
        CHydroMethod m = *this;
        m.counts = c;
        return m;
    }

    friend bool operator==(const CHydroMethod&, const CHydroMethod&) = default;
};
