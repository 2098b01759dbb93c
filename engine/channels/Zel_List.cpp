// The engine's list of channels. Allocation failure is reported, never thrown,
// because the list is used across library boundaries.
#include "engine/channels/Zel_List.h"

#include <stdlib.h>

Zel_List::~Zel_List() { free(items); }

bool Zel_List::Add(Zel_Channel* channel)
{
    if (!channel || Contains(channel)) return false;
    if (count == capacity) {
        int grown = capacity ? capacity * 2 : 8;
        void* larger = realloc(items, sizeof(Zel_Channel*) * grown);
        if (!larger) return false;
        items = static_cast<Zel_Channel**>(larger);
        capacity = grown;
    }
    items[count++] = channel;
    return true;
}

bool Zel_List::Contains(const Zel_Channel* channel) const
{
    for (int i = 0; i < count; ++i)
        if (items[i] == channel) return true;
    return false;
}

Zel_Channel* Zel_List::At(int index) const
{
    return index >= 0 && index < count ? items[index] : nullptr;
}
