#pragma once

class QObject;
class QWebEngineProfile;

// The helper's one web profile, kept on disk below the application's data folder
// ($XDG_DATA_HOME/Pendlow/web-profile) with its cache in $XDG_CACHE_HOME/Pendlow/web-cache. Browser
// and sign-in windows share it, so a sign-in also counts for pages opened later, and cookies, even
// those meant to last one browser session, are kept from one helper run to the next.
class WebProfile {
public:
    static QWebEngineProfile* create(QObject* parent);
};
