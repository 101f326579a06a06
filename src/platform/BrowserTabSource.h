#pragma once

#include "platform/BrowserTab.h"

#include <QCoroTask>
#include <QString>

// Finds the address of the tab a browser shows, without blocking the GUI thread and within a short
// time-out. The synchronous BrowserUrlSource stays for the e-mail capture; this one is for
// usage tracking and the settings window's test.
class BrowserTabSource {
public:
    virtual ~BrowserTabSource() = default;

    // The browser's name as the user knows it ("Firefox", "Chromium").
    virtual QString browserName() const = 0;
    // The active tab. windowTitle, the title of the browser window in front, picks the window whose
    // tab it is; the tab is not reported when no window shows that title. Empty: the browser's own
    // choice of front window.
    virtual QCoro::Task<BrowserTab> activeTab(QString windowTitle) = 0;
};
