#pragma once

#include <QCoroTask>
#include <QDateTime>
#include <QMetaType>
#include <QString>

#include <optional>

class SecretStore;
class SettingsStore;

// A snapshot of what the refresh needs from the secret store and the settings, loaded together and
// copied on read. Between loads it may lag behind the stores.
struct AppConfiguration {
    std::optional<QString> clickUpToken; // secret "clickup-api-token"
    QString teamId;                      // setting "teamId"
    QString toolsUrl;                    // setting "toolsUrl"
    std::optional<QString> toolsWSToken; // secret "tools-ws-token"
    QString userKey;                     // setting "userKey"
    std::optional<QDateTime> silentModeEnd;
    bool lightMode = false;
    bool disableTimerWarning = false;

    // A ClickUp token that is not empty and a team id.
    bool isClickUpConfigured() const;
    // A Tools web-service token that is not empty, a Tools address and a user key. A Tools browser
    // sign-in does not count.
    bool isToolsConfigured() const;

    // Reads the two secrets (unreadable counts as absent) and then the settings. Never throws.
    static QCoro::Task<AppConfiguration> load(SecretStore& keychainService,
                                              const SettingsStore& userDefaultsService);

    bool operator==(const AppConfiguration&) const = default;
};

Q_DECLARE_METATYPE(AppConfiguration)
