// saverpack: appends the project-name block to a copy of the viewer, or lists
// the block of a packed file.
#include <iostream>
#include <string>

#include "tools/SaverPack.h"

namespace {

int Usage()
{
    std::cerr << "usage: saverpack pack VIEWER OUTPUT \"Project Name\" [--replace]\n"
                 "       saverpack list FILE\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "pack" && (argc == 5 || (argc == 6 && std::string(argv[5]) == "--replace")))
        return PackViewer(argv[2], argv[3], argv[4], argc == 6, std::cerr);
    if (command == "list" && argc == 3) return ListBlock(argv[2], std::cout, std::cerr);
    return Usage();
}
