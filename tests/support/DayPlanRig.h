#pragma once

#include "support/FakeClickUpAPI.h"
#include "support/FakeClock.h"
#include "support/FakeToolsAPI.h"
#include "support/TaskAwait.h"

#include "services/dayplan/DayPlanningState.h"
#include "services/dayplan/DayPlanningStorageService.h"
#include "services/tools/PlanningState.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <memory>

// The day-planning state as the application builds it, for its tests and those of its views: a plan
// store in a temporary folder of its own, the week's planning over a fake Tools client, and ClickUp
// through the rig's FakeClickUpAPI or through the client a test gives (a real one against a loopback
// server, which must outlive the rig). The clock stands at the given moment while the rig lives.
// Store is the plan store's class, so that a test may give one that fails on purpose.
template <typename Store = DayPlanningStorageService>
class DayPlanRig {
public:
    explicit DayPlanRig(const QDateTime& now, ClickUpClient* client = nullptr)
        : clock(now)
        , store(folder.path() + QStringLiteral("/planning"))
        , clickUp(client ? *client : fakeClickUp)
        , planning(tools) {}
    DayPlanRig(const DayPlanRig&) = delete;
    DayPlanRig& operator=(const DayPlanRig&) = delete;

    // A state made afresh, as after a restart, showing the day of the moment.
    void open(const QDateTime& day) {
        state.reset();
        state = std::make_unique<DayPlanningState>(clickUp, store, planning);
        awaitTask(state->setSelectedDate(day));
    }

    // Writes the planned entries into the plan file of the day, gives the fake ClickUp the entries it
    // lists, loads both into the state and forgets the fake's calls so far.
    void seed(const QDateTime& day, const QList<PlannedTimeEntry>& planned,
              const QList<TimeEntry>& clickUpEntries, const QString& team) {
        store.saveEntries(planned, day);
        fakeClickUp.timeEntries = clickUpEntries;
        state->loadPlannedEntries();
        awaitTask(state->loadExistingEntries(team));
        fakeClickUp.clearCalls();
    }

    FakeClock clock;
    QTemporaryDir folder;
    Store store;
    // ClickUp, unless the test gives a client.
    FakeClickUpAPI fakeClickUp;
    ClickUpClient& clickUp;
    FakeToolsAPI tools;
    PlanningState planning;
    // Made by open().
    std::unique_ptr<DayPlanningState> state;
};
