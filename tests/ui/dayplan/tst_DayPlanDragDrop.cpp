// A planning row dragged onto the timeline with the session's real pointer (xdotool under Xvfb): the
// task lands at the time under the pointer. Skipped without an X display or xdotool.
#include "app/DayPlanningSourcesOf.h"
#include "support/AppStateFixture.h"
#include "support/DayPlanSamples.h"
#include "support/PlanningSamples.h"
#include "support/TestMain.h"

#include "services/AppState.h"
#include "services/dayplan/DayPlanningState.h"
#include "ui/dayplan/AvailableTasksList.h"
#include "ui/dayplan/DayPlanTaskRow.h"
#include "ui/dayplan/DayPlanningTimeline.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/dayplan/DayTimelineGrid.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace {
const QDate day(2025, 3, 10);

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}
} // namespace

class DayPlanDragDropTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        useBerlinTime();
        if (QGuiApplication::platformName() != QLatin1String("xcb") ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            QSKIP("needs an X display and xdotool");
        }
    }

    void dragsARowOntoTheTimeline() {
        AppStateFixture app(at(day, "08:30"));
        app.configureClickUp();
        app.fetchPlanning({plannedTask("a1", "Acme - Website", {"11"})});
        DayPlanningState& dayPlan = *app.state().dayPlanningState();
        DayPlanningView view(dayPlanningSourcesOf(app.state()));
        view.resize(1300, 800);
        view.move(0, 0);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(!dayPlan.isLoadingAssignees());
        QTRY_VERIFY(!view.tasksList()->findChildren<DayPlanTaskRow*>().isEmpty());
        view.raise();
        view.activateWindow();

        DayPlanTaskRow* row = view.tasksList()->findChildren<DayPlanTaskRow*>().first();
        DayTimelineGrid* grid = view.timeline()->grid();
        const QPoint from = row->mapToGlobal(QPoint(40, row->height() / 2));
        // 10:40 on the grid: 10 + 3 h 40 min at 60 px an hour.
        const QPoint to = grid->mapToGlobal(QPoint(120, int(grid->yForTime(at(day, "10:40")))));
        QVERIFY(xdotool({"mousemove", QString::number(from.x()), QString::number(from.y())}));
        QTest::qWait(100);
        // One xdotool run presses, moves in steps and releases, strictly in that order, while the
        // drag's own event loop runs inside the press handler. (Separate processes per step could
        // overtake each other on a busy machine and release before the last move.)
        QStringList script{"mousedown", "1", "sleep", "0.1"};
        for (int i = 1; i <= 10; ++i) {
            script << "mousemove" << QString::number(from.x() + (to.x() - from.x()) * i / 10)
                   << QString::number(from.y() + (to.y() - from.y()) * i / 10) << "sleep"
                   << "0.05";
        }
        script << "mousemove" << QString::number(to.x()) << QString::number(to.y()) << "sleep"
               << "0.1"
               << "mouseup"
               << "1";
        QProcess pointer;
        pointer.start("xdotool", script);
        QVERIFY(pointer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(pointer.state() == QProcess::NotRunning, 15000);
        QCOMPARE(pointer.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(dayPlan.plannedEntries().size(), 1, 5000);
        QCOMPARE(dayPlan.plannedEntries().first().taskName, QString("Acme - Website"));
        QCOMPARE(dayPlan.plannedEntries().first().timeRangeText(), QString("[10:30 - 11:30]"));
        QCOMPARE(dayPlan.plannedEntries().first().taskId, QString("a1"));
    }
};

PENDLOW_TEST_MAIN(DayPlanDragDropTest)
#include "tst_DayPlanDragDrop.moc"
