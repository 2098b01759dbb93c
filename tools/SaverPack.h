// The packing tool's command line and its two commands, as functions that
// return the exit code (0 done, 1 refused with a message on err) so tests can
// call them directly.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs saverpack with args (the program name left out), following the tools'
// convention (ToolArguments.h): 0 done or help, 1 bad input, 2 wrong usage.
int RunSaverPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Copies viewer to output with the shipped block appended (one "APPDATA"
// entry "PROJECTNAME" holding projectName, typed in UTF-8, in codePage).
// Refuses a missing or unreadable viewer, an empty name, one the viewer
// cannot use (see EncodeForWindows), an output that is the viewer itself,
// and a viewer that already carries a block unless replace.
int PackViewer(const std::string& viewer, const std::string& output, const std::string& projectName,
               int codePage, bool replace, std::ostream& err);

// Prints the block's entries of file to out, one line each: group, name, data
// size, stored CRC-32 and whether it matches the data ("ok", "BAD", or "cut
// short" when the file ends inside it); then "project name: NAME (code page
// N)", the name the viewer reads, decoded from codePage. Refuses an unreadable
// file, one without a block, a block whose entry table is damaged, and a
// project name the viewer cannot use: missing, empty, not terminated, too
// long for its registry key path, or one pack would refuse (see
// CheckWindowsBytes).
int ListBlock(const std::string& file, int codePage, std::ostream& out, std::ostream& err);
