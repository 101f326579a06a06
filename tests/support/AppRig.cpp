#include "support/AppRig.h"

#include "app/PendlowApp.h"

AppRig::AppRig(UpdateService::UpdaterFactory updaterFactory)
    : updates(settings, std::move(updaterFactory)) {}

AppRig::~AppRig() = default;

std::unique_ptr<PendlowApp> AppRig::makeApp() {
    return std::make_unique<PendlowApp>(PendlowApp::Services{.keychainService = keychain,
                                                             .clickUpAPI = clickUp,
                                                             .userDefaultsService = settings,
                                                             .notificationService = notifications,
                                                             .toastAlerts = &toasts,
                                                             .floatingAlerts = &panels,
                                                             .updateService = &updates});
}
