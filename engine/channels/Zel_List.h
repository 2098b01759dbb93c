// The engine's list of channels: an ordered set of channel pointers, used to
// gather channels in the order they are to be initialised.
#pragma once

#include "engine/channels/DrovikExport.h"

class Zel_Channel;

class DROVIK_API Zel_List {
public:
    Zel_List() = default;
    ~Zel_List();
    Zel_List(const Zel_List&) = delete;
    Zel_List& operator=(const Zel_List&) = delete;

    // Appends channel unless it is null or already listed; false when it
    // was not added (null, already there, or no memory).
    bool Add(Zel_Channel* channel);
    bool Contains(const Zel_Channel* channel) const;
    int Count() const { return count; }
    // The channel at index, or null outside 0..Count()-1.
    Zel_Channel* At(int index) const;

private:
    Zel_Channel** items = nullptr;
    int count = 0;
    int capacity = 0;
};
