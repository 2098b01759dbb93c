// saverpack: appends the project-name block to a copy of the viewer, or lists
// the block of a packed file.
#include <iostream>

#include "tools/SaverPack.h"

int main(int argc, char** argv)
{
    return RunSaverPack({argv + 1, argv + argc}, std::cout, std::cerr);
}
