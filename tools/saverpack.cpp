// saverpack: appends the project-name block to a copy of the viewer, or lists
// the block of a packed file.
#include <iostream>
#include <string>
#include <vector>

#include "tools/SaverPack.h"

namespace {

int Usage()
{
    std::cerr << "usage: saverpack pack [--replace] VIEWER OUTPUT \"Project Name\"\n"
                 "       saverpack list FILE\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> words;
    bool replace = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--replace")
            replace = true;  // wherever it stands
        else
            words.push_back(argv[i]);
    }
    if (words.size() == 4 && words[0] == "pack")
        return PackViewer(words[1], words[2], words[3], replace, std::cerr);
    if (words.size() == 2 && words[0] == "list" && !replace)
        return ListBlock(words[1], std::cout, std::cerr);
    return Usage();
}
