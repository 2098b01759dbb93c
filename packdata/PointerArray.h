// A small growable array of untyped pointers; it never owns what they point to.
#pragma once

class PointerArray {
public:
    PointerArray();
    virtual ~PointerArray();

    // Index of the new element, or -1 when no room could be made.
    int Add(void* pointer);
    // The element, or null for an index outside 0 .. count-1.
    void* GetAt(int index) const;
    int GetCount() const { return count; }
    int GetCapacity() const { return capacity; }
    // Sets the count to n; new slots are null. False when no room could be made.
    bool SetSize(int n);
    // Stores pointer at index, lengthening the array when needed; a negative
    // index, or one no room can be made for, changes nothing.
    void SetAt(void* pointer, int index);
    void RemoveAll();
    // Capacity becomes (n, or the current capacity for -1) * 1.25 + 32;
    // false (and nothing changed) when the storage could not be obtained or
    // would not hold the elements already there.
    bool Grow(int n);

private:
    PointerArray(const PointerArray&) = delete;
    PointerArray& operator=(const PointerArray&) = delete;

    void** elements;
    int count;
    int capacity;
};
