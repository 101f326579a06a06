#pragma once

#include "platform/ClientWindow.h"

#include <QUrl>

#include <optional>

// The address a browser window shows. The desktop's browser-address source implements it; until one
// is wired in, callers fall back on other ways (the clipboard).
class BrowserUrlSource {
public:
    virtual ~BrowserUrlSource() = default;

    // The address of the page the browser window shows, or none when it cannot be told.
    virtual std::optional<QUrl> currentUrl(const ClientWindow& window) const = 0;
};
