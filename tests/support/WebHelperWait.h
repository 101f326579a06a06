#pragma once

#include <QByteArray>
#include <QtGlobal>

// How the tests that start the pendlow-web helper (Chromium inside QtWebEngine) wait for it.
//
// In the sanitizer build the helper runs under AddressSanitizer, which records a stack for each of
// Chromium's allocations. With the suite's full unwinder (fast_unwind_on_malloc=0, kept for leak
// stacks that reach through Qt's libraries) the helper took half a minute to show its window and
// loaded no page within four minutes; with the frame-pointer unwinder it shows its window and its
// page within a minute even on a loaded machine. So the helpers of a test process run with the fast
// unwinder and without the leak check at exit (whose findings there are Chromium's, in stacks that
// end in unloaded driver modules). Memory errors in the helper still stop it, and the tests' own
// processes keep the suite's settings.
#ifdef PENDLOW_TEST_SANITIZED
inline constexpr int kWebHelperSlowdown = 6;
#else
inline constexpr int kWebHelperSlowdown = 1;
#endif

// The wait for something the helper does (start and show its window, load a page, end) that takes
// at most `normalMs` in the normal build.
constexpr int webHelperWaitMs(int normalMs) {
    return normalMs * kWebHelperSlowdown;
}

// Sets the sanitizer options that helpers started from now on inherit (see above); nothing in the
// normal build. Call it before the first helper starts.
inline void prepareWebHelperEnvironment() {
#ifdef PENDLOW_TEST_SANITIZED
    QByteArray options = qgetenv("ASAN_OPTIONS");
    if (!options.isEmpty()) {
        options += ':';
    }
    options += "fast_unwind_on_malloc=1:detect_leaks=0";
    qputenv("ASAN_OPTIONS", options);
#endif
}
