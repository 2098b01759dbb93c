// makecfg: writes a viewer settings file "screensaver.cfg" in the engine's
// chunk-file format.
#include <iostream>

#include "tools/MakeConfig.h"

int main(int argc, char** argv)
{
    return RunMakeConfig({argv + 1, argv + argc}, std::cout, std::cerr);
}
