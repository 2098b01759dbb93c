// The platform facts the viewer window procedure asks for, read from the
// system. The program's entry puts them in the run state's viewerPlatform;
// tests put a fake there instead.
#pragma once

#include "enginehost/ViewerPolicy.h"

ViewerPlatform& SystemViewerPlatform();
