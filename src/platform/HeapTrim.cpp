#include "platform/HeapTrim.h"

#include <cstdlib> // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

bool HeapTrim::releaseFreeMemory() {
#if defined(__GLIBC__)
    return malloc_trim(0) == 1;
#else
    return false;
#endif
}
