#include "services/usage/BrowserUrlProbe.h"

#include "core/AppCatalogue.h"

#include "platform/BrowserTabSource.h"
#include "platform/FrontAppSource.h"
#include "services/usage/DeepContextService.h"
#include "services/usage/FrontApplication.h"
#include "services/usage/PrivacyRedaction.h"

#include <QUrl>

using namespace Qt::StringLiterals;

BrowserUrlProbe::BrowserUrlProbe(QList<BrowserTabSource*> sources, const PrivacyRedaction& privacy,
                                 FrontAppSource* frontApps)
    : m_sources(std::move(sources))
    , m_privacy(privacy)
    , m_frontApps(frontApps) {
    m_sources.removeAll(nullptr);
}

QString BrowserUrlProbe::whichBrowsersGiveAddresses() {
    return u"Firefox gives its addresses through its session file, Chromium, Google Chrome, Brave, Edge, "
           u"Opera and Vivaldi through theirs (or a DevTools port where one is open). Both files are "
           u"written a few seconds after a page opens, so a page opened just now may not be in them yet. "
           u"Other browsers, private and incognito windows give window titles only."_s;
}

QCoro::Task<BrowserUrlProbeResult> BrowserUrlProbe::run() {
    if (m_sources.isEmpty()) {
        co_return BrowserUrlProbeResult{false, u"Browser URL capture is not available on this desktop."_s};
    }
    // The browser in front, if one is: its source first, about its own window.
    QList<BrowserTabSource*> order = m_sources;
    QString frontTitle;
    BrowserTabSource* front = nullptr;
    if (m_frontApps) {
        if (const std::optional<FrontWindow> window = m_frontApps->frontmostWindow()) {
            const QString id = FrontApplication::from(*window).appId;
            if (const AppCatalogue::App* known = AppCatalogue::find(id);
                known && known->kind == AppCatalogue::Kind::browser) {
                const QString wanted = known->addressSource == AppCatalogue::AddressSource::firefoxSession
                                           ? u"Firefox"_s
                                           : u"Chromium"_s;
                for (BrowserTabSource* source : m_sources) {
                    if (source->browserName() == wanted) {
                        front = source;
                    }
                }
                frontTitle = m_frontApps->windowTitle(window->windowId).value_or(QString());
            }
        }
    }
    if (front) {
        order.removeAll(front);
        order.prepend(front);
    }
    QStringList problems;
    for (BrowserTabSource* source : order) {
        const QString title = source == front ? frontTitle : QString();
        const BrowserTab tab = co_await source->activeTab(title);
        if (tab.found()) {
            QString shown = *tab.url;
            if (m_privacy.shouldRedactURL(shown)) {
                const QString host = QUrl(shown).host();
                shown =
                    host.isEmpty() ? u"an address"_s : host + u" (the rest is hidden by the privacy rules)"_s;
            }
            co_return BrowserUrlProbeResult{true, source->browserName() + u" shows "_s + shown};
        }
        problems.append(source->browserName() + u": "_s + tab.problem);
    }
    co_return BrowserUrlProbeResult{false, u"No browser address found. "_s + problems.join(u". "_s) +
                                               u". "_s + whichBrowsersGiveAddresses()};
}
