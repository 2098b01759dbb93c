// The engine channel's default operations: a channel with a name, a type, a
// change stamp and nothing else.
#include "engine/channels/Zel_Channel.h"

#include <string.h>

#include "engine/channels/Zel_List.h"

namespace {

// The engine's change counter; every SetTimeStamp takes the next value.
volatile LONG changeCounter = 0;

}  // namespace

Zel_Channel::Zel_Channel() : name{}, channelType{}, timeStamp(0), initialized(false) {}

Zel_Channel::Zel_Channel(const Zel_Channel& other) = default;
Zel_Channel& Zel_Channel::operator=(const Zel_Channel& other) = default;
Zel_Channel::~Zel_Channel() = default;

void Zel_Channel::CallChannel() {}

void Zel_Channel::OneTimeInitialize() { initialized = true; }

void Zel_Channel::DoEvent(int, unsigned long) {}

ChannelType Zel_Channel::GetChannelType() { return channelType; }

bool Zel_Channel::SaveChannel(ZelFileSaver&) { return true; }

bool Zel_Channel::LoadChannel(ZelFileLoader&, Zel_ChannelGroup*) { return true; }

void Zel_Channel::SetChannelInterfaceType(int interfaceType)
{
    channelType.interfaceType = interfaceType;
}

Zel_Channel* Zel_Channel::GetChannelFromChannel(Zel_Channel*, ChildInfo*) { return this; }

unsigned long Zel_Channel::GetTimeStamp() { return timeStamp; }

void Zel_Channel::SetTimeStamp()
{
    timeStamp = static_cast<unsigned long>(InterlockedIncrement(&changeCounter));
}

void Zel_Channel::DoDependencyInit(Zel_List* list)
{
    if (list) list->Add(this);
}

void Zel_Channel::CheckIndexNrRemoval(int) {}

void Zel_Channel::SetChannelName(const char* text)
{
    if (!text) text = "";
    strncpy(name, text, sizeof name - 1);
    name[sizeof name - 1] = '\0';
}

void Zel_Channel::SetChannelTypes(const GUID& type, const GUID& baseType)
{
    channelType.type = type;
    channelType.baseType = baseType;
}
