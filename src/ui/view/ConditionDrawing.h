// A loading condition drawn over the ship at an attitude of equilibrium: the
// ship turned so that its waterplane lies level, the waterplane as a
// translucent plane over the hull's extent, the centres of buoyancy and
// gravity as markers with their letters, and the ship's openings as marks
// (after damage, the view shades the compartments open to the sea). OpenGL
// 1.1, into the current context, over the camera's model-view.
#pragma once

#include "geometry/CVector3.h"

#include <vector>

// An opening where water comes in, as the view marks it.
struct COpeningMark {
    CVector3 at; // ship axes
    bool weathertight = false;
};

struct CConditionPicture {
    // The frame SetRotation(heel, trim, 0) the ship floats in [deg]: a
    // point p of the ship lies at R p, and the waterplane at z' = waterplane.
    double heel = 0, trim = 0;
    double waterplane = 0; // [m]
    CVector3 b, g;         // centres of buoyancy and gravity, ship axes
    CVector3 low, high;    // the hull's box in ship axes, which the plane spans
    std::vector<COpeningMark> openings;
    // After damage: the compartments open to the sea, by their 1-based
    // place in the ship's list, drawn shaded.
    std::vector<int> flooded;
};

// The rotation R as OpenGL's column-major 4 x 4 matrix.
void AttitudeMatrix(const CConditionPicture& picture, double gl[16]);

// Multiplies the model-view by R: whatever is drawn after it in ship axes
// shows heeled and trimmed, its waterplane level.
void TurnToAttitude(const CConditionPicture& picture);

// In the turned frame of TurnToAttitude: the waterplane as a translucent
// light blue quad (80, 160, 255 at alpha 0.35) over the box the hull's
// eight corners span in the waterplane's frame, a twentieth wider on each
// side, without writing depth so that the ship shows through; then its
// outline in the same blue, opaque.
void DrawWaterplane(const CConditionPicture& picture);

// In the turned frame: B in green (0, 160, 0) and G in red (220, 0, 0) as
// points 9 pixels wide over everything (depth test off), each with its
// letter beside it.
void DrawCentres(const CConditionPicture& picture);

// The colour of an opening's mark (red, green, blue): one not weathertight
// orange (255, 140, 0) above the waterplane and magenta (200, 0, 200) under
// it; a weathertight one teal (0, 150, 150) above and navy (0, 0, 170)
// under.
void OpeningColour(const CConditionPicture& picture, const COpeningMark& mark,
                   unsigned char rgb[3]);

// In the turned frame: each opening as a mark 11 pixels wide in its colour
// over everything (depth test off), a cross when it is not weathertight, a
// square when it is.
void DrawOpenings(const CConditionPicture& picture);
