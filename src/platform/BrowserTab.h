#pragma once

#include <QString>

#include <optional>

// What a browser source found out about the tab in front: its address and title, or why it could
// not tell (a short text for the user, e.g. "no Firefox profile found").
struct BrowserTab {
    std::optional<QString> url;
    QString title;
    QString problem;

    bool found() const { return url.has_value(); }

    static BrowserTab failure(const QString& why) { return BrowserTab{std::nullopt, QString(), why}; }
};
