#pragma once

#include <QString>

// The outcome of reading the active browser tab's address once, for the Preferences tab's Test:
// whether it worked and the text to show ("Got URL: ..." or why not).
struct BrowserUrlProbeResult {
    bool success = false;
    QString message;
};
