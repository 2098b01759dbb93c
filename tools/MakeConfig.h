// makecfg's command line, as a function that returns the exit code so tests
// can call it directly.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs makecfg with args (the program name left out): writes the viewer
// settings file OUTPUT in the engine's chunk-file format, its four chunks in
// order (SCFP the project path in the code page, 259 bytes zero-padded; SCTI
// the frame delay; SCQC do-not-quit; SCSP preview). Follows the tools'
// convention (ToolArguments.h): 0 done or help, 1 bad input, 2 wrong usage.
int RunMakeConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
