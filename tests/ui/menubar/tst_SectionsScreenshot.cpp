// A picture of the popover with a realistic day, for looking at by eye: saved
// as PNG files into $PENDLOW_SCREENSHOT_DIR. Skipped unless that variable is set.
#include "core/UserDefaultsService.h"
#include "support/AppStateFixture.h"
#include "support/FakeClock.h"
#include "support/PlanningSamples.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "core/Formatting.h"
#include "ui/menubar/MenuBarView.h"

#include <QDir>

namespace {
const QDateTime kNow(QDate(2026, 3, 2), QTime(15, 10));

TimeEntry entry(const QString& id, const QString& taskId, const QString& name, QTime start, int minutes,
                TaskStatus status) {
    TimeEntry e;
    e.id = id;
    e.taskId = taskId;
    e.taskName = name;
    e.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/") + taskId);
    e.status = status;
    e.startTime = QDateTime(kNow.date(), start);
    e.duration = minutes * 60000.0;
    e.endTime = e.startTime.addSecs(minutes * 60);
    return e;
}

PlanningTask task(const QString& id, const QString& name, const QString& week, const QString& hours,
                  const QString& status) {
    return plannedTask(id, name, week.isEmpty() ? QStringList() : QStringList{week}, status, hours);
}

ClickUpSearchResult found(const QString& id, const QString& name, const QString& list, TaskStatus status,
                          QList<ClickUpAssignee> assignees, std::optional<QString> parent = std::nullopt) {
    ClickUpSearchResult r;
    r.id = id;
    r.name = name;
    r.listName = list;
    r.status = status;
    r.assignees = std::move(assignees);
    r.parent = std::move(parent);
    r.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/") + id);
    return r;
}
} // namespace

class SectionsScreenshotTest : public QObject {
    Q_OBJECT

    QString m_dir;

    // The whole popover, whose timesheet tab holds the worked-on list and the planning.
    void shoot(AppState& state, const QString& name) {
        MenuBarView popover(state, UserDefaultsService::shared());
        popover.setAutoFillBackground(true);
        QPalette palette = popover.palette();
        palette.setColor(QPalette::Window, windowBackgroundColor());
        popover.setPalette(palette);
        popover.resize(MenuBarView::popoverWidth, 800);
        popover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popover));
        QTest::qWait(300);
        const QString path = QDir(m_dir).filePath(name + QStringLiteral(".png"));
        QVERIFY(popover.grab().save(path));
        qInfo("saved %s", qPrintable(path));
    }

private Q_SLOTS:
    void initTestCase() {
        m_dir = qEnvironmentVariable("PENDLOW_SCREENSHOT_DIR");
        if (m_dir.isEmpty()) {
            QSKIP("set PENDLOW_SCREENSHOT_DIR to take the pictures");
        }
        QDir().mkpath(m_dir);
    }

    void aBusyDay() {
        FakeClock clock(kNow);
        AppStateFixture fixture;
        fixture.configureClickUp();
        fixture.configureTools();
        AppState& state = fixture.state();
        TimeEntry running = entry("r", "86c2k1", "Acme - Checkout flow: payment provider switch",
                                  QTime(14, 25), 0, TaskStatus::inProgress);
        running.duration = -double(running.startTime.toMSecsSinceEpoch());
        state.worklogState()->setTimeEntries({
            running,
            entry("e1", "86c2m7", "Beta Corp - Weekly report", QTime(13, 30), 40, TaskStatus::inReview),
            entry("e2", "86c2k1", "Acme - Checkout flow: payment provider switch", QTime(10, 0), 150,
                  TaskStatus::inProgress),
            entry("e3", "86c1zz", "Internal - Team meeting", QTime(9, 0), 45, TaskStatus::other),
        });
        fixture.fetchPlanning({
            task("86c2k1", "Acme - Checkout flow: payment provider switch +2 days planned", "10", "6",
                 "in progress"),
            task("86c2k9", "Acme - Fix login redirect #bug", "10", "2", "code review"),
            task("86c2m7", "Beta Corp - Weekly report", "10", "1.5", "in review"),
            task("86c2p3", "Beta Corp - Quote for the new dashboard", "11", "3", "needs quote"),
            task("86c2q4", "Gamma - Migration plan", "", "", "other"),
        });
        state.planningState()->setExpandedWeeks({10, 11});
        shoot(state, QStringLiteral("timesheet"));

        // Searching: the filter narrows both lists, and the ClickUp results show below the weeks.
        state.searchState()->setSearchText(QStringLiteral("acme"));
        state.searchState()->setClickUpResults({
            found("86c2k1ab", "Checkout flow: payment provider switch", "Acme / Sprint 12",
                  TaskStatus::inProgress, {{1, "Jane Doe", "#7B68EE", {}}, {2, "Sam Lee", "#FF5733", {}}}),
            found("86c2k1cd", "Update the provider's webhook secret handling in staging", "Acme / Sprint 12",
                  TaskStatus::codeReview, {{3, "Ann", {}, {}}}, QStringLiteral("86c2k1ab")),
            found("86c2zz01", "Acme landing page copy", "Acme / Marketing", TaskStatus::needsClarification,
                  {{1, "Jane Doe", "#7B68EE", {}},
                   {2, "Sam Lee", "#FF5733", {}},
                   {3, "Ann", {}, {}},
                   {4, "Bo Ek", "#2ECC71", {}}}),
        });
        shoot(state, QStringLiteral("searching"));

        // Nothing yet: first load with an error from the day before.
        AppStateFixture empty;
        empty.configureClickUp();
        empty.state().worklogState()->setError(APIError::httpError(401, QStringLiteral("Token invalid")));
        shoot(empty.state(), QStringLiteral("not-configured"));
    }
};

PENDLOW_TEST_MAIN(SectionsScreenshotTest)
#include "tst_SectionsScreenshot.moc"
