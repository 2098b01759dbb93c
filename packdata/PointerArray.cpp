// A small growable array of untyped pointers (see PointerArray.h).
#include "packdata/PointerArray.h"

#include <stdlib.h>
#include <string.h>

PointerArray::PointerArray() : elements(nullptr), count(0), capacity(0) {}

PointerArray::~PointerArray() { RemoveAll(); }

int PointerArray::Add(void* pointer)
{
    if (count >= capacity) Grow(-1);
    if (count >= capacity) return -1;
    elements[count] = pointer;
    return count++;
}

void* PointerArray::GetAt(int index) const
{
    return index >= 0 && index < count ? elements[index] : nullptr;
}

bool PointerArray::SetSize(int n)
{
    if (n >= capacity - 1) Grow(n);
    if (n >= capacity) return false;
    for (int i = count; i < n; ++i) elements[i] = nullptr;
    count = n < 0 ? 0 : n;
    return true;
}

void PointerArray::SetAt(void* pointer, int index)
{
    if (index < 0) return;
    if (index >= count && !SetSize(index + 1)) return;
    elements[index] = pointer;
}

void PointerArray::RemoveAll()
{
    free(elements);
    elements = nullptr;
    count = 0;
    capacity = 0;
}

bool PointerArray::Grow(int n)
{
    if (n < -1) n = -1;
    long long base = n == -1 ? (capacity < 0 ? 0 : capacity) : n;
    long long wanted = base + base / 4 + 32;  // the integer part of base * 1.25 + 32
    // Beyond this the storage's byte count would not fit 32 bits; below the
    // count, elements would be lost.
    if (wanted >= 0x3FFFFFFF || wanted < count) return false;
    int newCapacity = static_cast<int>(wanted);
    void** storage = static_cast<void**>(malloc(sizeof(void*) * static_cast<size_t>(newCapacity)));
    if (!storage) return false;
    if (count > 0) memcpy(storage, elements, sizeof(void*) * static_cast<size_t>(count));
    free(elements);
    elements = storage;
    capacity = newCapacity;
    return true;
}
