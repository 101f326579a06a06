#pragma once

#include "services/updates/UpdateService.h"
#include "support/FakeClickUpAPI.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/InMemoryKeychain.h"
#include "support/TestSettings.h"

#include <memory>

class PendlowApp;

// What the application is built from in tests: throw-away settings, an in-memory keychain, a fake
// ClickUp client, fake notifications and alert windows, and an updater that starts nothing (or what
// the given factory makes). `makeApp()` builds the application over them; the rig must outlive it.
struct AppRig {
    explicit AppRig(UpdateService::UpdaterFactory updaterFactory = []() -> AppcastUpdater* {
        return nullptr;
    });
    ~AppRig();

    std::unique_ptr<PendlowApp> makeApp();

    TestSettings settings;
    InMemoryKeychain keychain;
    FakeClickUpAPI clickUp;
    FakeNotificationService notifications;
    FakeToastAlertService toasts;
    FakeFloatingAlertService panels;
    UpdateService updates;
};
