#pragma once

// Gives the heap that the C library keeps after frees back to the system. glibc keeps freed memory
// in its arenas for later allocations, so the resident size of the process stays at its high-water
// mark after a large window has gone; trimming returns every free page, also from the middle of an
// arena. It costs a few milliseconds and frees nothing in use, so call it after a burst of frees (the
// last report window closed), not on every small one.
class HeapTrim {
public:
    // True when memory went back to the system; false when there was none to return or the C
    // library has no such call.
    static bool releaseFreeMemory();
};
