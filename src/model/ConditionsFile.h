// The conditions file of a ship: its loading conditions as JSON, kept beside
// the ship file (SHIP.nav has SHIP.conditions.json) and saved the way the
// ship is, whole or not at all and under the ship's lock.
//
// Layout (keys carry the units; lengths in m, weights in t, densities in
// t/m^3, angles in degrees, ship axes):
//   {"format": 1,
//    "conditions": [
//      {"name": "...",
//       "lightship": {"weight_t": W, "lcg_m": X, "tcg_m": Y, "vcg_m": Z},
//       "items": [{"name": "...", "weight_t": W, "x_m": X, "y_m": Y, "z_m": Z}, ...],
//       "tanks": [{"tank": "...", "filling_ratio": F | "volume_m3": V,
//                  "density_t_m3": RHO}, ...],
//       "water_density_t_m3": RHO,
//       "flooding_angle_deg": A,
//       "windage": [{"name": "...", "area_m2": A, "height_m": Z}, ...],
//       "bilge_keel_area_m2": AK,
//       "sharp_bilges": false}, ...],
//    "openings": [{"name": "...", "x_m": X, "y_m": Y, "z_m": Z,
//                  "weathertight": false}, ...],
//    "damage_cases": [{"name": "...",
//                      "compartments": [{"compartment": "...", "permeability": P}, ...],
//                      "bulkhead_deck_m": Z}, ...],
//    "sounding_pipes": [{"tank": "...", "x_m": X, "y_m": Y, "z_m": Z,
//                        "direction_x": DX, "direction_y": DY, "direction_z": DZ}, ...]}
// "tcg_m" (0), "items" and "tanks" (none), "water_density_t_m3" (1.025) and
// "flooding_angle_deg" (none; null too) may be left out, and so may the
// weather criterion's "windage" (none), "bilge_keel_area_m2" (0: no bilge
// keels) and "sharp_bilges" (false), written only when they are not these,
// and the ship's "openings", "damage_cases" and "sounding_pipes" (none;
// written only when there are some), "weathertight" (false), a compartment's
// "permeability" (the model's) and "bulkhead_deck_m" (none); any other key is
// refused, so that a misspelt one is never passed over. A tank takes
// "filling_ratio" or "volume_m3", not both. Numbers are written so that
// they read back bit for bit.
#pragma once

#include "CLoadingCondition.h"

#include <string>

// The conditions file of the ship file shipPath: the .nav extension
// replaced by .conditions.json, or .conditions.json appended to a name
// without it, in the same folder.
std::string ConditionsPathOf(const std::string& shipPath);

// The conditions held by text, the contents of the file named source.
// CFileException (damaged, naming source) for text that is not JSON (where,
// by line and column), a format other than 1, a key missing or of the
// wrong type, an unknown key, two conditions of one name, or a condition
// with a fault (ConditionFault).
CLoadingConditions ReadConditionsText(const std::string& text, const std::string& source);

// The text of the conditions file of conditions. CFileException (generic,
// naming source) for a condition with a fault, or a name that is not UTF-8
// text, which no reader would take back.
std::string ConditionsText(const CLoadingConditions& conditions, const std::string& source = "");

// Reads the conditions file of shipPath into conditions, under the ship's
// shared lock; false, with conditions emptied, when there is no such file
// (a ship without conditions). On failure (CFileException) conditions is
// left as it was.
bool LoadConditionsFile(const std::string& shipPath, CLoadingConditions& conditions);

// Writes the conditions file of shipPath under the ship's exclusive lock, as
// the ship file is written (WriteFileAtomically): a failure leaves the file
// on disk as it was. A condition with a fault is refused before anything is
// written.
void StoreConditionsFile(const CLoadingConditions& conditions, const std::string& shipPath);
