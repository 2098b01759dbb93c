// A drovik.dll the binding tests can make fail: the recording engine behind
// the library's entry point. ORMELIX_FAKE_ENGINE picks "null" (the entry point
// returns no engine) or "initfail" (Initialize returns false); built a second
// time with FAKE_ENGINE_WITHOUT_ENTRY, it lacks the entry point altogether.
// Its core makes no settings loader or saver, so a settings load through it
// shows its box, and it runs no project. Each call is appended to the file that ORMELIX_ENGINE_TRACE names, as
// "0 <call>", the stand-in engine's own trace form.
#include <cstdio>
#include <string>

#include "RecordingEngine.h"

namespace {

// Read through the system, not the C runtime's copy, so that a test's
// SetEnvironmentVariableA reaches an already loaded library.
std::string Variable(const char* name)
{
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

void TraceLine(const std::string& line)
{
    std::string file = Variable("ORMELIX_ENGINE_TRACE");
    if (file.empty()) return;
    if (FILE* out = std::fopen(file.c_str(), "a")) {
        std::fprintf(out, "0 %s\n", line.c_str());
        std::fclose(out);
    }
}

CallLog calls;

}  // namespace

#ifndef FAKE_ENGINE_WITHOUT_ENTRY
extern "C" __declspec(dllexport) EngineControl* GetEngineControlInstance()
{
    calls.echo = TraceLine;
    calls.Add("GetEngineControlInstance");
    if (Variable("ORMELIX_FAKE_ENGINE") == "null") return nullptr;
    RecordingEngine* engine = new RecordingEngine(calls);  // lives as long as the library
    engine->initializes = Variable("ORMELIX_FAKE_ENGINE") != "initfail";
    engine->makesLoader = false;
    engine->makesSaver = false;
    engine->runResult = 1;  // refuses every project
    return engine;
}
#else
extern "C" __declspec(dllexport) int NotTheEntryPoint() { return 0; }
#endif
