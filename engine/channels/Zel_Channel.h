// The engine's channel: the base of every channel type, with the engine's
// table of thirteen virtual operations in its fixed order.
#pragma once

#include "engine/channels/ChannelTypes.h"
#include "engine/channels/DllInterface.h"

class Zel_List;

class DROVIK_API Zel_Channel : public DllInterface {
public:
    Zel_Channel();
    Zel_Channel(const Zel_Channel& other);
    Zel_Channel& operator=(const Zel_Channel& other);

    // The table of virtual operations; its order is part of the engine's
    // binary interface and must not change.
    virtual ~Zel_Channel();
    virtual void CallChannel();
    virtual void OneTimeInitialize();
    virtual void DoEvent(int event, unsigned long value);
    virtual ChannelType GetChannelType();
    // The base channel has no state to save: true, nothing written or read.
    virtual bool SaveChannel(ZelFileSaver& saver);
    virtual bool LoadChannel(ZelFileLoader& loader, Zel_ChannelGroup* group);
    virtual void SetChannelInterfaceType(int interfaceType);
    // The channel to use when another channel refers to this one: itself.
    virtual Zel_Channel* GetChannelFromChannel(Zel_Channel* asker, ChildInfo* info);
    virtual unsigned long GetTimeStamp();
    // Marks the channel as changed: its time stamp takes the next value of
    // the engine's change counter.
    virtual void SetTimeStamp();
    // Adds this channel to the list of channels to initialise.
    virtual void DoDependencyInit(Zel_List* list);
    virtual void CheckIndexNrRemoval(int index);

    // The name is copied, cut to 63 characters; null counts as empty.
    void SetChannelName(const char* name);
    const char* GetChannelName() const { return name; }
    // Called by the engine when it creates a channel from a plug-in.
    void SetChannelTypes(const GUID& type, const GUID& baseType);
    bool IsInitialized() const { return initialized; }

private:
    char name[64];
    ChannelType channelType;
    unsigned long timeStamp;
    bool initialized;
};
