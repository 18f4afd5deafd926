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
#pragma once

enum class IntegrationRule { onePoint, exact };
enum class CompartmentPolicy { volumeOnly, allSums };

struct CHydroMethod {
    IntegrationRule rule = IntegrationRule::onePoint;
    CompartmentPolicy compartments = CompartmentPolicy::volumeOnly;

    // The tables' method (the default) and the exact one.
    static constexpr CHydroMethod Tables() { return {}; }
    static constexpr CHydroMethod Exact() {
        return CHydroMethod{IntegrationRule::exact, CompartmentPolicy::allSums};
    }
    static constexpr CHydroMethod For(IntegrationRule r) {
        return r == IntegrationRule::exact ? Exact() : Tables();
    }
    bool IsExact() const { return rule == IntegrationRule::exact; }

    friend bool operator==(const CHydroMethod&, const CHydroMethod&) = default;
};
