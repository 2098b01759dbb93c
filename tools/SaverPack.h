// The packing tool's two commands, as functions that return the exit code
// (0 done, 1 refused with a message on err) so tests can call them directly.
#pragma once

#include <ostream>
#include <string>

// Copies viewer to output with the shipped block appended (one "APPDATA"
// entry "PROJECTNAME" holding projectName). Refuses a missing or unreadable
// viewer, an empty name or one over 258 characters, an output that is the
// viewer itself, and a viewer that already carries a block unless replace.
int PackViewer(const std::string& viewer, const std::string& output, const std::string& projectName,
               bool replace, std::ostream& err);

// Prints the block's entries of file to out, one line each: group, name, data
// size, stored CRC-32 and whether it matches the data ("ok", "BAD", or "cut
// short" when the file ends inside it). Refuses an unreadable file, one
// without a block, and a block whose entry table is damaged.
int ListBlock(const std::string& file, std::ostream& out, std::ostream& err);
