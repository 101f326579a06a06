#include "web/WebProfile.h"

#include "core/AppPaths.h"

#include <QWebEngineProfile>

QWebEngineProfile* WebProfile::create(QObject* parent) {
    auto* profile = new QWebEngineProfile(QStringLiteral("pendlow"), parent);
    const QString storage = AppPaths::dataFolder(QStringLiteral("web-profile"));
    if (!storage.isEmpty()) {
        profile->setPersistentStoragePath(storage);
    }
    const QString cache = AppPaths::cacheFolder(QStringLiteral("web-cache"));
    if (!cache.isEmpty()) {
        profile->setCachePath(cache);
    }
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    return profile;
}
