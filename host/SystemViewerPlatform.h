// The platform facts the viewer window procedure asks for, read from the
// system. A process-wide pointer so that tests can put a fake in its place.
#pragma once

#include "host/ViewerPolicy.h"

// What ViewerWindowProc asks: the system's answers unless a test replaced it.
extern ViewerPlatform* viewerPlatform;
