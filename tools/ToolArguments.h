// The command-line convention both tools follow: options may stand anywhere
// among the words ("--" ends them); --help or -h prints the usage to out and
// exits 0; wrong usage prints it to err and exits 2; bad input exits 1 with a
// message that names the file or the value.
#pragma once

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

const int exitDone = 0;
const int exitBadInput = 1;
const int exitWrongUsage = 2;

struct ToolArguments {
    bool help = false;
    std::vector<std::string> flags;  // value-less options given, e.g. "--replace"
    bool codePageGiven = false;
    std::string codePage;  // the value of --codepage as typed
    std::vector<std::string> words;

    bool Has(const std::string& flag) const
    {
        return std::find(flags.begin(), flags.end(), flag) != flags.end();
    }
};

// Splits args (the program name left out) into options and words. An
// argument is an option when it starts with "-" and a letter or "-" (so
// "-5" is a word). False after a message on err, starting with tool, for an
// option that is neither in knownFlags nor --codepage, --help or -h, and for
// --codepage without its value.
bool SplitArguments(const char* tool, const std::vector<std::string>& args,
                    const std::vector<std::string>& knownFlags, ToolArguments& split,
                    std::ostream& err);

// Help (exitDone, usage on out) or wrong usage (exitWrongUsage, usage on err);
// a line on the code page N of --codepage follows the usage.
int ShowUsage(const char* usage, bool help, std::ostream& out, std::ostream& err);

// The code page --codepage names, or defaultCodePage without it; false after
// a message on err naming the value.
bool ChosenCodePage(const char* tool, const ToolArguments& split, int& codePage, std::ostream& err);
