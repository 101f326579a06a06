// The planning state: weeks around the current one, the dropped tasks, the search filter, and what a
// fetch leaves in the properties.
#include "support/FakeClock.h"
#include "support/FakeToolsAPI.h"
#include "support/LogCapture.h"
#include "support/PlanningSamples.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "core/Log.h"
#include "services/tools/AuthError.h"
#include "services/tools/PlanningState.h"

#include <QSignalSpy>

#include <chrono>
#include <memory>

namespace {
// 2 March 2026 is the Monday of ISO week 10.
const QDateTime weekTen(QDate(2026, 3, 2), QTime(9, 0));

// A task named `name` (also its id) planned in the given weeks.
PlanningTask planned(const QString& name, const QStringList& weeks = {},
                     const QString& status = QStringLiteral("in progress")) {
    return plannedTask(name, name, weeks, status);
}

// "week:task,task" for each plan, in order.
QStringList describe(const QList<WeekPlan>& plans) {
    QStringList lines;
    for (const WeekPlan& plan : plans) {
        QStringList ids;
        for (const PlanningTask& task : plan.tasks) {
            ids.append(task.clickUpTaskId);
        }
        lines.append(QStringLiteral("%1:%2").arg(plan.weekNumber).arg(ids.join(',')));
    }
    return lines;
}
} // namespace

class PlanningStateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeToolsAPI> m_api;
    std::unique_ptr<PlanningState> m_state;
    std::unique_ptr<FakeClock> m_clock;

    void fetch(const QList<PlanningTask>& tasks) {
        m_api->planning = {tasks, QStringLiteral("2.4.1")};
        m_api->failure = nullptr;
        QVERIFY(!awaitTask(m_state->fetchPlanning("https://tools.example.com/", "key", "token")).failed());
    }

private Q_SLOTS:
    void init() {
        m_api = std::make_unique<FakeToolsAPI>();
        m_state = std::make_unique<PlanningState>(*m_api);
        m_clock = std::make_unique<FakeClock>(weekTen);
    }

    void cleanup() {
        m_state.reset();
        m_clock.reset();
    }

    void groupsAroundCurrentWeek_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QList<PlanningTask>>("tasks");
        QTest::addColumn<QStringList>("plans");

        QTest::newRow("first week from the current one on")
            << weekTen << QList<PlanningTask>{planned("a", {"8", "12"}),  planned("b", {"8", "9"}),
                                              planned("c", {"10", "11"}), planned("d", {"x"}),
                                              planned("e", {"14"}),       planned("f", {"12"})}
            << QStringList{"10:c", "12:a,f", "14:e", "0:b,d"};
        QTest::newRow("current week first, unscheduled last")
            << QDateTime(QDate(2026, 3, 9), QTime(9, 0))
            << QList<PlanningTask>{planned("u"), planned("f", {"14"}), planned("g", {"11"})}
            << QStringList{"11:g", "14:f", "0:u"};
        QTest::newRow("Sunday still belongs to its week")
            << QDateTime(QDate(2026, 3, 8), QTime(23, 59))
            << QList<PlanningTask>{planned("n", {"11"}), planned("t", {"10"})} << QStringList{"10:t", "11:n"};
        QTest::newRow("week 52: next year's week 1 is unscheduled")
            << QDateTime(QDate(2026, 12, 21), QTime(9, 0))
            << QList<PlanningTask>{planned("t", {"1"}), planned("r", {"53"}), planned("s", {"52"})}
            << QStringList{"52:s", "53:r", "0:t"};
        QTest::newRow("1 January 2027 lies in week 53")
            << QDateTime(QDate(2027, 1, 1), QTime(9, 0))
            << QList<PlanningTask>{planned("q", {"1"}), planned("p", {"52", "53"})}
            << QStringList{"53:p", "0:q"};
        QTest::newRow("29 December 2025 lies in week 1")
            << QDateTime(QDate(2025, 12, 29), QTime(9, 0))
            << QList<PlanningTask>{planned("q", {"52"}), planned("p", {"1"})} << QStringList{"1:p", "52:q"};
        QTest::newRow("no tasks") << weekTen << QList<PlanningTask>{} << QStringList{};
    }

    void groupsAroundCurrentWeek() {
        QFETCH(QDateTime, now);
        QFETCH(QList<PlanningTask>, tasks);
        QFETCH(QStringList, plans);
        m_clock->set(now);
        QCOMPARE(describe(m_state->groupIntoWeekPlans(tasks)), plans);
    }

    void dropsTasks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("kept");

        QTest::newRow("needs clarification") << "Acme - x"
                                             << "needs clarification" << false;
        QTest::newRow("needs clarification in capitals with blanks") << "Acme - x"
                                                                     << "  NEEDS Clarification\t" << false;
        QTest::newRow("two spaces inside the status") << "Acme - x"
                                                      << "needs  clarification" << true;
        QTest::newRow("needs quote") << "Acme - x"
                                     << "Needs Quote" << true;
        QTest::newRow("projectinfo in the name") << "Acme - ProjectInfo"
                                                 << "in progress" << false;
        QTest::newRow("projectinfo inside a word") << "ACMEPROJECTINFOS"
                                                   << "other" << false;
        QTest::newRow("project info with a blank") << "Acme - project info"
                                                   << "in progress" << true;
    }

    void dropsTasks() {
        QFETCH(QString, name);
        QFETCH(QString, status);
        QFETCH(bool, kept);
        const QList<WeekPlan> plans = m_state->groupIntoWeekPlans({planned(name, {"10"}, status)});
        QCOMPARE(plans.size(), kept ? 1 : 0);
    }

    void filtersBySearchText_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("plans");

        const QStringList all{"10:t1,t3", "12:t2", "0:86gamma"};
        QTest::newRow("empty") << "" << all;
        QTest::newRow("client name in lower case") << "acme" << QStringList{"10:t1,t3", "12:t2"};
        QTest::newRow("matched on the cleaned name") << "deploy api" << QStringList{"12:t2"};
        QTest::newRow("removed characters do not match") << "deploy:" << QStringList{};
        QTest::newRow("removed tags do not match") << "#bug" << QStringList{};
        QTest::newRow("removed day counts do not match") << "2 days" << QStringList{};
        QTest::newRow("task id") << "GAMMA" << QStringList{"0:86gamma"};
        QTest::newRow("capitals in the search") << "BETA" << QStringList{"10:t3"};
        // "Report 2 days planned" cleans to "Report": no blank left to match.
        QTest::newRow("a blank is a search") << " " << QStringList{"10:t1,t3", "12:t2"};
        QTest::newRow("no match") << "zzz" << QStringList{};
    }

    void filtersBySearchText() {
        QFETCH(QString, search);
        QFETCH(QStringList, plans);
        auto withId = [](PlanningTask task, const QString& id) {
            task.clickUpTaskId = id;
            return task;
        };
        fetch({withId(planned("Acme - Fix login #bug", {"10"}), "t1"),
               withId(planned("Acme - Deploy: api", {"12"}), "t2"),
               withId(planned("Beta - Acme review", {"10"}), "t3"),
               withId(planned("Report 2 days planned"), "86gamma")});
        QCOMPARE(describe(m_state->filteredWeekPlans(search)), plans);
    }

    void fetchLandsInProperties() {
        QSignalSpy loading(m_state.get(), &PlanningState::isLoadingChanged);
        QSignalSpy plans(m_state.get(), &PlanningState::weekPlansChanged);
        QSignalSpy errors(m_state.get(), &PlanningState::errorChanged);
        QList<bool> loadingValues;
        connect(m_state.get(), &PlanningState::isLoadingChanged, this,
                [&] { loadingValues.append(m_state->isLoading()); });
        m_api->delay = std::chrono::milliseconds(20);

        fetch({planned("a", {"10"}), planned("b", {"12"}), planned("c")});
        QCOMPARE(loadingValues, (QList<bool>{true, false}));
        QCOMPARE(describe(m_state->weekPlans()), (QStringList{"10:a", "12:b", "0:c"}));
        QCOMPARE(m_state->serverVersion(), QStringLiteral("2.4.1"));
        QCOMPARE(m_state->expandedWeeks(), QSet<int>{10});
        QCOMPARE(m_state->error(), std::nullopt);
        QCOMPARE(describe({*m_state->currentWeekPlan()}), QStringList{"10:a"});
        QCOMPARE(describe({*m_state->unscheduledPlan()}), QStringList{"0:c"});

        // The same planning again: equal values stay silent, the error is assigned anyway.
        fetch({planned("a", {"10"}), planned("b", {"12"}), planned("c")});
        QCOMPARE(plans.count(), 1);
        QCOMPARE(loading.count(), 4);
        QCOMPARE(errors.count(), 2);
    }

    void fetchReopensCurrentWeekOnly() {
        m_state->setExpandedWeeks({12});
        fetch({planned("b", {"12"})});
        QCOMPARE(m_state->expandedWeeks(), QSet<int>{12}); // no plan for week 10
        QCOMPARE(m_state->currentWeekPlan(), std::nullopt);
        QCOMPARE(m_state->unscheduledPlan(), std::nullopt);

        fetch({planned("a", {"10"})});
        QCOMPARE(m_state->expandedWeeks(), (QSet<int>{10, 12}));
        // Closed by the user, opened again by the next fetch.
        m_state->setExpandedWeeks({12});
        fetch({planned("a", {"10"})});
        QCOMPARE(m_state->expandedWeeks(), (QSet<int>{10, 12}));

        QSignalSpy expanded(m_state.get(), &PlanningState::expandedWeeksChanged);
        m_state->setExpandedWeeks({10, 12});
        QCOMPARE(expanded.count(), 0);
    }

    void emptyPlanning() {
        m_state->setExpandedWeeks({3});
        fetch({});
        QVERIFY(m_state->weekPlans().isEmpty());
        QCOMPARE(m_state->error(), std::nullopt);
        QVERIFY(!m_state->isLoading());
        QCOMPARE(m_state->expandedWeeks(), QSet<int>{3});
    }

    // A failed fetch keeps what was shown and adds the error; errors other than APIError are stored
    // as network errors.
    void failedFetchKeepsPlanning_data() {
        QTest::addColumn<std::exception_ptr>("failure");
        QTest::addColumn<APIError>("stored");

        const APIError httpError = APIError::httpError(503, std::nullopt);
        QTest::newRow("API error") << std::make_exception_ptr(httpError) << httpError;
        QTest::newRow("sign-in error") << std::make_exception_ptr(AuthError::refreshFailed())
                                       << APIError::networkError(AuthError::refreshFailed().description());
        QTest::newRow("other error") << std::make_exception_ptr(std::runtime_error("boom"))
                                     << APIError::networkError("boom");
    }

    void failedFetchKeepsPlanning() {
        QFETCH(std::exception_ptr, failure);
        QFETCH(APIError, stored);
        fetch({planned("a", {"10"})});
        m_state->setExpandedWeeks({10, 12});

        m_api->failure = failure;
        QVERIFY(!awaitTask(m_state->fetchPlanning("u", "k", std::nullopt)).failed());
        QCOMPARE(m_state->error(), stored);
        QCOMPARE(describe(m_state->weekPlans()), QStringList{"10:a"});
        QCOMPARE(m_state->serverVersion(), QStringLiteral("2.4.1"));
        QCOMPARE(m_state->expandedWeeks(), (QSet<int>{10, 12}));
        QVERIFY(!m_state->isLoading());

        // The next successful fetch clears it.
        fetch({planned("b", {"11"})});
        QCOMPARE(m_state->error(), std::nullopt);
        QCOMPARE(describe(m_state->weekPlans()), QStringList{"11:b"});
    }

    void secretsStayOutOfTheLog() {
        LogCapture log(LogCapture::Verbosity::debug);
        QVERIFY(!awaitTask(m_state->fetchPlanning("https://tools.example.com/", "user-key-secret",
                                                  "ws-token-secret-value"))
                     .failed());
        const QStringList lines = log.lines();

        QVERIFY(lines.join('\n').contains(QLatin1String("https://tools.example.com/")));
        for (const QString& line : std::as_const(lines)) {
            QVERIFY2(!line.contains(QLatin1String("user-key")), qPrintable(line));
            QVERIFY2(!line.contains(QLatin1String("ws-token")), qPrintable(line));
        }
    }

    void clearErrorAlwaysNotifies() {
        QSignalSpy errors(m_state.get(), &PlanningState::errorChanged);
        m_state->clearError();
        m_state->clearError();
        QCOMPARE(errors.count(), 2);
    }
};

PENDLOW_TEST_MAIN(PlanningStateTest)
#include "tst_PlanningState.moc"
