// How a search of the engine ended.
#pragma once

enum class SearchStatus {
    converged,    // the stopping test held
    outOfRange,   // the target lies outside what the body can hold: nothing moved
    notConverged, // the evaluation cap was reached, or a value was not a number
};

// No converging search comes near this many evaluations; a search that
// reaches it reports notConverged instead of running on.
inline constexpr int kMaxSearchEvaluations = 2000;

// The level searches (FindLevel, FindDraught) stop once the draughts
// bracketing the target are this close [m], met or not.
inline constexpr double kLevelBracket = 0.001;
