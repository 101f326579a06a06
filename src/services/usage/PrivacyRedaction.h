#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// Decides at the moment of capture whether a window title (or e-mail subject) or a browser address is
// too sensitive to keep. Keyword tests are substring tests on lower-cased text; application ids are
// compared whole and case-sensitively. The user's lists ("privacyRedactionKeywords",
// "privacyAlwaysRedactApps") are read from the settings on every call.
class PrivacyRedaction {
public:
    explicit PrivacyRedaction(const SettingsStore& settings);

    bool shouldRedactURL(const QString& url) const;
    bool shouldRedactTitle(const QString& title, const QString& appId) const;

    static const QStringList& builtInURLKeywords();
    static const QStringList& builtInTitleKeywords();
    // Whether the application's windows are always redacted: the password managers and key stores of
    // the application catalogue.
    static bool isAlwaysRedacted(const QString& appId);

private:
    const SettingsStore& m_settings;
};
