// Helpers shared by the Win32 tests of the channel libraries: a private
// engine trace file, the drive text as the platform reports it, and the
// plug-in library's name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

constexpr char pluginFileName[] = "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26.dll";

// The full path of the built plug-in, which lies beside the test program.
std::string PluginPath();

// Points ORMELIX_ENGINE_TRACE at a new file in the temporary directory for
// as long as it lives; removes the file and the variable afterwards.
class ScopedTraceFile {
public:
    ScopedTraceFile();
    ~ScopedTraceFile();
    // The trace lines written so far, without their line ends.
    std::vector<std::string> Lines() const;
    // The lines whose operation is op, each with its time stamp removed.
    std::vector<std::string> LinesOf(const char* op) const;

private:
    std::string path;
};

// The drives as GetLogicalDriveStringsA lists them, in the channel's form
// ("C;Z;"): an expectation that does not use the logical-drive mask.
std::string DrivesFromDriveStrings();

// A directory of its own in the temporary directory, removed with its files.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    const std::string& Path() const { return path; }
    std::string File(const char* name) const { return path + "\\" + name; }

private:
    std::string path;
};

// The module that supplies the code at address; a jump through an import
// address (the stub a module makes for an imported function) is followed to
// its target. Null if no module contains it.
HMODULE SupplierOf(const void* address);
