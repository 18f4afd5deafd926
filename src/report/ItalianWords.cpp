#include "ItalianWords.h"

#include "platform/NumberText.h"

std::string CriterionNameIt(std::size_t k, double limit, const std::string& fallback) {
    const std::string to = FormatC("%g", limit) + "°" + (limit < 40 ? " (allagamento)" : "");
    switch (k) {
    case 0:
        return "Area 0-30°";
    case 1:
        return "Area 0-" + to;
    case 2:
        return "Area 30-" + to;
    case 3:
        return "GZ a 30° o più";
    case 4:
        return "Angolo del GZ massimo";
    case 5:
        return "GM0";
    case 6:
        return "Vento e rollio: area b ≥ area a";
    case 7:
        return "Vento e rollio: sbandamento θ0";
    default:
        return fallback;
    }
}

std::string UnitNameIt(const std::string& unit) {
    if (unit == "deg")
        return "°";
    if (unit == "m*rad")
        return "m·rad";
    return unit;
}

const char* OutcomeNameIt(DamageOutcome outcome) {
    switch (outcome) {
    case DamageOutcome::sinks:
        return "affonda";
    case DamageOutcome::capsizes:
        return "si capovolge";
    default:
        return "galleggia";
    }
}
