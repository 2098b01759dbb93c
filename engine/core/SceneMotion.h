// The animated scenes the stand-in engine draws, as plain geometry: which
// discs to draw for a point in time and a window size. The Win32 renderer
// only paints them.
#pragma once

#include <vector>

#include "ProjectFile.h"

namespace scene {

struct Disc {
    int centreX, centreY, radius;
    // 0..1: how far from the background colour towards the foreground.
    double strength;
};

// The discs of the scene at the given time (seconds since the project
// started running; speed scales it) for a client area of width x height. Every disc lies wholly inside the area; an empty area
// gives no discs.
std::vector<Disc> SceneDiscs(project::SceneKind kind, double seconds, double speed, int width,
                             int height);

}  // namespace scene
