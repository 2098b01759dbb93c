// The engine's services for channel objects and the binding to them.
#include "engine/channels/DllInterface.h"

Zel_PluginServices& Zel_PluginServices::Instance()
{
    static Zel_PluginServices services;
    return services;
}

DllInterface::DllInterface() : engine(&Zel_PluginServices::Instance()) {}
