#pragma once

#include "services/usage/BrowserUrlProbeResult.h"

#include <QCoroTask>
#include <QList>

class BrowserTabSource;
class FrontAppSource;
class PrivacyRedaction;

// The settings window's "Browser URL capture" test: asks the browser-address sources once and says
// what they found. The browser in front is asked about its front window; when no browser is in front
// (the settings window is), every source is asked about the browser's own front window, in order,
// until one finds an address. Never throws; each source answers within its own short time-out.
// An address the privacy rules hide is shown as its host. The probe must outlive the task run() gives.
class BrowserUrlProbe {
public:
    BrowserUrlProbe(QList<BrowserTabSource*> sources, const PrivacyRedaction& privacy,
                    FrontAppSource* frontApps = nullptr);

    QCoro::Task<BrowserUrlProbeResult> run();
    // What the test says when no address was found: which browsers give addresses and why the others
    // do not.
    static QString whichBrowsersGiveAddresses();

private:
    QList<BrowserTabSource*> m_sources;
    const PrivacyRedaction& m_privacy;
    FrontAppSource* m_frontApps;
};
