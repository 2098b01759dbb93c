// boxwatch SECONDS [COUNT]: for end-to-end scripts. Prints "caption|text|icon"
// for every message box of any process that appears within SECONDS (carriage
// returns and line feeds in the text written as \r and \n), presses OK on
// each, and ends early once COUNT boxes were seen.
#include "MessageBoxWatcher.h"

#include <cstdio>
#include <cstdlib>

static std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: boxwatch SECONDS [COUNT]\n");
        return 2;
    }
    DWORD timeoutMs = static_cast<DWORD>(std::atof(argv[1]) * 1000);
    size_t count = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : static_cast<size_t>(-1);
    MessageBoxWatcher watcher(MessageBoxWatcher::anyProcess);
    for (const SeenBox& box : watcher.WaitForBoxes(count, timeoutMs))
        std::printf("%s|%s|%s\n", box.caption.c_str(), Escaped(box.text).c_str(), box.icon.c_str());
    std::fflush(stdout);
    return 0;
}
