#pragma once

#include "support/FakeClickUpAPI.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/FakeToolsAPI.h"
#include "support/InMemoryKeychain.h"

#include "app/AppState.h"
#include "app/UserDefaultsService.h"

#include <QTemporaryDir>

#include <memory>

// A root state over fakes, for the tests of the views that read it: a fake ClickUp and Tools
// client, an in-memory secret store, a settings file of its own, fake notifications and alert
// windows.
class AppStateFixture {
public:
    static inline const QString teamId = QStringLiteral("9001");

    AppStateFixture();
    ~AppStateFixture();

    AppState& state() { return *m_state; }

    // Stores a ClickUp token and the team id, and loads the configuration.
    void configureClickUp();
    // Stores a shared Tools token, address and user key, and loads the configuration.
    void configureTools();
    // Switches silent mode on for an hour.
    void enableSilentMode();
    // Runs a planning fetch that gives these tasks, or fails with the error.
    void fetchPlanning(const QList<PlanningTask>& tasks);
    void failPlanning(std::exception_ptr error);

    QTemporaryDir dir;
    UserDefaultsService settings;
    InMemoryKeychain keychain;
    FakeClickUpAPI clickUp;
    FakeToolsAPI tools;
    FakeNotificationService notifications;
    FakeToastAlertService toasts;
    FakeFloatingAlertService panels;

private:
    std::unique_ptr<AppState> m_state;
};
