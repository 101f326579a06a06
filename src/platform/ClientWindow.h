#pragma once

#include <QString>

#include <cstdint>

// A top-level client window of the desktop as a window list reports it.
struct ClientWindow {
    std::uint32_t id = 0;
    QString instanceName; // first part of WM_CLASS
    QString className;    // second part of WM_CLASS
    QString title;        // _NET_WM_NAME, else WM_NAME

    bool operator==(const ClientWindow&) const = default;
};
