// The auto zoom's arithmetic: the camera framed on every vertex of the ship,
// kept apart from the window so that it is tested on its own.
#pragma once

class CShipModel;
class CViewCamera;

// Centres the translation on the box of every vertex of every element
// (hull elements, compartments, tanks; enabled or not), fits the volume's x
// and y to the box seen at zero angles, gives near and far room (twice the
// farthest extent beyond it), then zooms out by 0.3; the angles are kept.
// A ship with no vertex, or whose vertices all lie on one line of sight,
// gives nothing to frame: the camera stays as it was and false comes back.
bool FrameModel(CViewCamera& camera, const CShipModel& model);
