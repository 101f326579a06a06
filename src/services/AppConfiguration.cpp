#include "services/AppConfiguration.h"

#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"

namespace {
QCoro::Task<std::optional<QString>> readSecret(SecretStore& keychainService, QString key) {
    try {
        co_return co_await keychainService.getValue(key);
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Reading '%1' failed").arg(key), Log::Category::keychain, error);
    }
    co_return std::nullopt;
}
} // namespace

bool AppConfiguration::isClickUpConfigured() const {
    return clickUpToken && !clickUpToken->isEmpty() && !teamId.isEmpty();
}

bool AppConfiguration::isToolsConfigured() const {
    return toolsWSToken && !toolsWSToken->isEmpty() && !toolsUrl.isEmpty() && !userKey.isEmpty();
}

QCoro::Task<AppConfiguration> AppConfiguration::load(SecretStore& keychainService,
                                                     const SettingsStore& userDefaultsService) {
    AppConfiguration configuration;
    configuration.clickUpToken = co_await readSecret(keychainService, KeychainItem::clickUpAPIToken);
    configuration.toolsWSToken = co_await readSecret(keychainService, KeychainItem::toolsWSToken);
    configuration.teamId = userDefaultsService.teamId();
    configuration.toolsUrl = userDefaultsService.toolsUrl();
    configuration.userKey = userDefaultsService.userKey();
    configuration.silentModeEnd = userDefaultsService.silentModeEnd();
    configuration.lightMode = userDefaultsService.lightMode();
    configuration.disableTimerWarning = userDefaultsService.disableTimerWarning();
    co_return configuration;
}
