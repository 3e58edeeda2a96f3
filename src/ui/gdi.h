#pragma once
// Owners for the few GDI objects a paint creates, so no path leaks one.
#include "sources/handle.h"

namespace ovra {

// Selects an object into a DC for one scope and puts the previous one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A pen, bitmap or brush deleted when the scope ends. Declare it before any
// Selection of it, so it is deselected before it is deleted.
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle none() { return nullptr; }
    static bool valid(Handle object) { return object != nullptr; }
    static void close(Handle object) { DeleteObject(object); }
};
using GdiObject = UniqueHandle<GdiObjectTraits>;

// A memory DC deleted when the scope ends.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle none() { return nullptr; }
    static bool valid(Handle dc) { return dc != nullptr; }
    static void close(Handle dc) { DeleteDC(dc); }
};
struct MemoryDc : UniqueHandle<MemoryDcTraits> {
    explicit MemoryDc(HDC compatibleWith) : UniqueHandle(CreateCompatibleDC(compatibleWith)) {}
};

} // namespace ovra
