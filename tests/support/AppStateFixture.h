#pragma once

#include "support/FakeClickUpAPI.h"
#include "support/FakeClock.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/FakeToolsAPI.h"
#include "support/InMemoryKeychain.h"
#include "support/TestData.h"
#include "support/TestSettings.h"

#include "services/AppState.h"

#include <QDateTime>

#include <memory>
#include <optional>

// A root state over fakes, for the tests of the views that read it: a fake ClickUp and Tools
// client, an in-memory secret store, a settings file of its own, fake notifications and alert
// windows. Given a moment, it pins the clock there first and lets it go last. The ids and tokens it
// stores are made on the heap.
class AppStateFixture {
public:
    static inline const QString teamId = onHeap(u"9001");

    explicit AppStateFixture(std::optional<QDateTime> now = std::nullopt);
    ~AppStateFixture();

    AppState& state() { return *m_state; }
    // The pinned clock; only for a fixture made with a moment.
    FakeClock& clock() { return *m_clock; }

    // Stores a ClickUp token and the team id without loading them.
    void storeClickUpSettings(const QString& token = onHeap(u"pk_test_token"));
    // Stores a shared Tools token, address and user key without loading them.
    void storeToolsSettings(const QString& token = onHeap(u"ws_test_token"));
    // The same, then loads the configuration.
    void configureClickUp();
    void configureTools();
    // Loads the configuration and checks that loading ended.
    void loadConfiguration();
    // Switches silent mode on for an hour.
    void enableSilentMode();
    // Checks that exactly one timer start went to ClickUp: for the task, in the fixture's team.
    void checkOneTimerStart(const QString& taskId);
    // Runs a planning fetch that gives these tasks, or fails with the error.
    void fetchPlanning(const QList<PlanningTask>& tasks);
    void failPlanning(std::exception_ptr error);

private:
    // First in, last out: everything below is built and torn down on the pinned clock.
    std::unique_ptr<FakeClock> m_clock;

public:
    TestSettings settings;
    InMemoryKeychain keychain;
    FakeClickUpAPI clickUp;
    FakeToolsAPI tools;
    FakeNotificationService notifications;
    FakeToastAlertService toasts;
    FakeFloatingAlertService panels;

private:
    std::unique_ptr<AppState> m_state;
};
