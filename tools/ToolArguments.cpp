// The tools' command-line convention (see ToolArguments.h).
#include "tools/ToolArguments.h"

#include "tools/CodePage.h"

namespace {

bool IsOption(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

}  // namespace

bool SplitArguments(const char* tool, const std::vector<std::string>& args,
                    const std::vector<std::string>& knownFlags, ToolArguments& split,
                    std::ostream& err)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !IsOption(arg)) {
            split.words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            split.help = true;
        } else if (arg == "--codepage") {
            if (++i == args.size()) {
                err << tool << ": --codepage needs a code page number\n";
                return false;
            }
            split.codePageGiven = true;
            split.codePage = args[i];
        } else if (std::find(knownFlags.begin(), knownFlags.end(), arg) != knownFlags.end()) {
            split.flags.push_back(arg);
        } else {
            err << tool << ": unknown option " << arg << "\n";
            return false;
        }
    }
    return true;
}

int ShowUsage(const char* usage, bool help, std::ostream& out, std::ostream& err)
{
    (help ? out : err) << usage
                       << "N: the Windows code page of the systems it is for, 1252 unless given\n("
                       << supportedCodePages << ").\n";
    return help ? exitDone : exitWrongUsage;
}

bool ChosenCodePage(const char* tool, const ToolArguments& split, int& codePage, std::ostream& err)
{
    codePage = defaultCodePage;
    if (!split.codePageGiven || ParseCodePage(split.codePage, codePage)) return true;
    err << tool << ": code page \"" << split.codePage << "\" is not supported; use "
        << supportedCodePages << "\n";
    return false;
}
