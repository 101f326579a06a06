#include "platform/BrowserWindowTitle.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
bool startsThePageTitle(const QString& windowTitle, const QString& page) {
    if (page.isEmpty() || !windowTitle.startsWith(page)) {
        return false;
    }
    if (windowTitle.size() == page.size()) {
        return true;
    }
    // What follows the page's title is the browser's own suffix.
    const QString rest = windowTitle.mid(page.size());
    return rest.startsWith(u" \u2014 "_s) || rest.startsWith(u" - "_s) || rest.startsWith(u" \u2013 "_s);
}
} // namespace

bool browserwindowtitle::shows(const QString& windowTitle, const QString& pageTitle, const QString& pageUrl) {
    if (startsThePageTitle(windowTitle, pageTitle)) {
        return true;
    }
    if (!pageTitle.isEmpty()) {
        return false;
    }
    // A page without a title is shown under its address, with or without the scheme.
    const QUrl url(pageUrl);
    return startsThePageTitle(windowTitle, pageUrl) ||
           startsThePageTitle(windowTitle, url.toString(QUrl::RemoveScheme).mid(2));
}
