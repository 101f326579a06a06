#pragma once

#include <QString>

// What the browser-address test found: whether an address was found, and a sentence for the user
// saying which browser showed which address, or why none was found.
struct BrowserUrlProbeResult {
    bool success = false;
    QString message;

    bool operator==(const BrowserUrlProbeResult&) const = default;
};
