// The engine library's entry point, exported undecorated.
#include "StandInControl.h"
#include "Trace.h"

extern "C" __declspec(dllexport) EngineControl* GetEngineControlInstance()
{
    EngineTrace("GetEngineControlInstance");
    return new StandInControl;
}
