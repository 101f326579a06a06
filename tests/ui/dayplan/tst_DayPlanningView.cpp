// The day-planning screen over the application state with fakes: the planning tasks grouped and
// filtered, adding by double click and by the hover button, the drag payload of a row, the ClickUp
// search section's texts, count, error and assignees, and the loads when the screen opens; the search
// and the loads go to the team the screen is given when it asks.
#include "support/AppStateFixture.h"
#include "support/DayPlanSamples.h"
#include "support/PlanningSamples.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "services/AppState.h"
#include "services/clickup/APIError.h"
#include "services/dayplan/DayPlanningState.h"
#include "ui/clickup/MenuBarAssigneeIconsView.h"
#include "ui/dayplan/AvailableTasksList.h"
#include "ui/dayplan/DayPlanTaskRow.h"
#include "ui/dayplan/DayPlanningSearchSection.h"
#include "ui/dayplan/DayPlanningView.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>

#include <memory>

namespace {
const QDate day(2025, 3, 10); // ISO week 11

ClickUpSearchResult result(const QString& id, const QString& name, int assignees = 0) {
    ClickUpSearchResult found;
    found.id = id;
    found.name = name;
    found.listName = "Sprint";
    for (int i = 0; i < assignees; ++i) {
        found.assignees.append(ClickUpAssignee{i + 1, QString("user %1").arg(i), {}, {}});
    }
    return found;
}
} // namespace

class DayPlanningViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppStateFixture> m_app;
    // The team the screen gets each time it asks.
    QString m_team;

    DayPlanningState& dayPlan() { return *m_app->state().dayPlanningState(); }

    DayPlanningSources sources() {
        AppState& state = m_app->state();
        return DayPlanningSources{*state.dayPlanningState(), *state.planningState(), *state.searchState(),
                                  state.avatarImages(), [this] { return m_team; }};
    }

    QList<DayPlanTaskRow*> rows(QWidget& widget) { return widget.findChildren<DayPlanTaskRow*>(); }

    DayPlanTaskRow* rowFor(QWidget& widget, const QString& taskId) {
        for (DayPlanTaskRow* row : rows(widget)) {
            if (row->payload().taskId == taskId) {
                return row;
            }
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() { useBerlinTime(); }

    void init() {
        m_app = std::make_unique<AppStateFixture>(at(day, "08:30"));
        m_app->configureClickUp();
        m_team = m_app->state().configuration().teamId;
        m_app->fetchPlanning(
            {plannedTask("b1", "beta - Lower", {"11"}), plannedTask("z1", "Zeta - Upper", {"11"}),
             plannedTask("n1", " - Nameless", {"11"}),
             plannedTask("a1", "Acme - Site #frontend", {"11"}, "In Progress ", "1.45"),
             plannedTask("a2", "Acme - Report", {"11"}), plannedTask("", "Acme - No id", {"11"})});
    }

    void cleanup() { m_app.reset(); }

    void groupsAndFiltersTasks() {
        AvailableTasksList list(sources());
        QCOMPARE(list.shownTexts(),
                 (QStringList{"No Client", "- Nameless", "Acme", "Acme - Site", "Acme - Report", "Zeta",
                              "Zeta - Upper", "beta", "beta - Lower"}));
        QVERIFY(list.findChild<QLabel*>() != nullptr);

        // Two characters filter the tasks but search nothing in ClickUp.
        list.filterField()->setText("si");
        QCOMPARE(list.shownTexts(), (QStringList{"Acme", "Acme - Site"}));
        QVERIFY(list.searchSection()->isHidden());
        QVERIFY(!m_app->state().searchState()->hasPendingSearch());
        list.filterField()->setText("SITE");
        QCOMPARE(list.shownTexts(), (QStringList{"Acme", "Acme - Site"}));
        QVERIFY(!list.searchSection()->isHidden());
        QVERIFY(m_app->state().searchState()->hasPendingSearch());
        QCOMPARE(m_app->state().searchState()->searchText(), QString("SITE"));

        list.filterField()->setText("z1"); // the ClickUp id alone
        QCOMPARE(list.shownTexts(), (QStringList{"Zeta", "Zeta - Upper"}));

        list.filterField()->setText("nothing here");
        QVERIFY(list.shownTexts().isEmpty());
        QVERIFY(!list.searchSection()->isHidden());
        QVERIFY(m_app->state().searchState()->hasPendingSearch());

        list.filterField()->clear();
        QVERIFY(m_app->state().searchState()->searchText().isEmpty());
        QVERIFY(!m_app->state().searchState()->hasPendingSearch());
    }

    void showsTheEmptyState() {
        m_app->fetchPlanning({});
        AvailableTasksList list(sources());
        QCOMPARE(list.shownTexts(), (QStringList{"No tasks available",
                                                 "Tasks from your current week planning will appear here"}));
    }

    void addsTasksFromRows() {
        AvailableTasksList list(sources());
        DayPlanTaskRow* site = rowFor(list, "a1");
        QVERIFY(site);
        QCOMPARE(site->payload(), (DraggableTask{"a1", "Acme - Site", "Acme", 3600}));
        QCOMPARE(site->addButton()->text(), QString("+ 1h"));
        std::unique_ptr<QMimeData> data(site->payload().toMimeData());
        QVERIFY(data->hasFormat("com.brisvane.Pendlow.draggableTask"));
        QVERIFY(!site->dragPreview().isNull());
        QVERIFY(list.findChildren<QLabel*>().size() > 0);
        bool hoursShown = false;
        for (const QLabel* label : site->findChildren<QLabel*>()) {
            hoursShown = hoursShown || label->text().endsWith("1h 27m");
        }
        QVERIFY(hoursShown);

        // Double-click, "+ 1h" and a drop store the one name the row shows.
        QTest::mouseDClick(site, Qt::LeftButton);
        site->addButton()->click();
        QVERIFY(dayPlan().addDroppedTask(site->payload(), at(day, "14:00")));
        QCOMPARE(dayPlan().plannedEntries().size(), 3);
        for (const PlannedTimeEntry& entry : dayPlan().plannedEntries()) {
            QCOMPARE(entry.taskName, QString("Acme - Site"));
        }
        QCOMPARE(dayPlan().plannedEntries()[0].timeRangeText(), QString("[09:00 - 10:00]"));
        QCOMPARE(dayPlan().plannedEntries()[1].timeRangeText(), QString("[10:00 - 11:00]"));
    }

    void showsTheSearchSection() {
        SearchState& search = *m_app->state().searchState();
        DayPlanningSearchSection section(search, dayPlan(), m_app->state().avatarImages(), 3600);
        search.setSearchText("zzz");
        QCOMPARE(section.contentTexts(), QStringList{"No tasks found in ClickUp for 'zzz'"});

        search.setIsSearching(true);
        QCOMPARE(section.contentTexts(), QStringList{"Searching ClickUp..."});
        search.setIsSearching(false);

        search.setClickUpResults({result("86c0ffee01", "Fix login", 5), result("abc", "Deploy", 3)});
        QCOMPARE(section.countLabel()->text(), QString("2"));
        QCOMPARE(section.contentTexts(), (QStringList{"Fix login", "Deploy"}));
        const QList<MenuBarAssigneeIconsView*> icons = section.findChildren<MenuBarAssigneeIconsView*>();
        QCOMPARE(icons.size(), 2);
        QCOMPARE(icons[0]->moreText(), QString("+2"));
        QCOMPARE(icons[1]->moreText(), QString());
        bool shortId = false;
        for (const QLabel* label : section.findChildren<QLabel*>()) {
            shortId = shortId || label->text() == "86c0ffee";
        }
        QVERIFY(shortId);

        DayPlanTaskRow* row = rowFor(section, "abc");
        QCOMPARE(row->payload(), (DraggableTask{"abc", "Deploy", "Sprint", 3600}));
        QTest::mouseDClick(row, Qt::LeftButton);
        QVERIFY(dayPlan().addDroppedTask(row->payload(), at(day, "15:00")));
        QCOMPARE(dayPlan().plannedEntries().size(), 2);
        QCOMPARE(dayPlan().plannedEntries()[0].taskName, QString("Deploy"));
        QCOMPARE(dayPlan().plannedEntries()[1].taskName, QString("Deploy"));

        search.setError(APIError::httpError(500, {}));
        QCOMPARE(section.contentTexts().size(), 3);
        search.setClickUpResults({});
        QCOMPARE(section.contentTexts().size(), 1);
        QVERIFY(section.contentTexts()[0].startsWith("⚠ "));

        section.headerButton()->click();
        QVERIFY(section.contentTexts().isEmpty() || !section.isExpanded());
        QVERIFY(!section.isExpanded());
        section.headerButton()->click();
        QCOMPARE(section.contentTexts().size(), 1);
    }

    // The search and the loads go to the team the screen is given when it asks, not when it was built.
    void searchesForTheAskedTeam() {
        AvailableTasksList list(sources());
        m_team = onHeap(u"4711");
        m_app->clickUp.clearCalls();
        list.filterField()->setText("site");
        QTRY_COMPARE(m_app->clickUp.callCount(FakeClickUpAPI::searchTasksOp), 1);
        QCOMPARE(m_app->clickUp.calls().last().teamId, m_team);
        QCOMPARE(m_app->clickUp.calls().last().query, QString("site"));
    }

    void loadsTheDayWhenShown() {
        awaitTask(dayPlan().previousDay());
        m_app->clickUp.clearCalls();
        DayPlanningView view(sources());
        m_team = onHeap(u"4711");
        view.resize(1100, 700);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_COMPARE(m_app->clickUp.callCount(FakeClickUpAPI::searchTasksOp), 1);
        QCOMPARE(dayPlan().selectedDate(), day.startOfDay());
        QCOMPARE(m_app->clickUp.operations(),
                 (QStringList{FakeClickUpAPI::getTimeEntriesOp, FakeClickUpAPI::searchTasksOp}));
        for (const FakeClickUpAPI::Call& call : m_app->clickUp.calls()) {
            QCOMPARE(call.teamId, m_team);
        }
        QCOMPARE(dayPlan().currentTeamId(), m_team);
    }
};

PENDLOW_TEST_MAIN(DayPlanningViewTest)
#include "tst_DayPlanningView.moc"
