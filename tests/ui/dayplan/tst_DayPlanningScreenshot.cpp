// A picture of the day-planning screen with a seeded day, for the README: saved as
// $PENDLOW_SCREENSHOT_DIR/dayplan.png (scripts/screenshot-dayplan.sh). Without the variable it only
// checks that the screen renders.
#include "app/DayPlanningSourcesOf.h"
#include "support/AppStateFixture.h"
#include "support/ClickUpSamples.h"
#include "support/DayPlanSamples.h"
#include "support/PlanningSamples.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "services/AppState.h"
#include "services/dayplan/DayPlanningState.h"
#include "ui/dayplan/DayPlanningView.h"

#include <QDir>

namespace {
const QDate day(2025, 3, 10);

} // namespace

class DayPlanningScreenshotTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useBerlinTime(); }

    void rendersASeededDay() {
        AppStateFixture app(at(day, "08:30"));
        app.configureClickUp();
        app.fetchPlanning({plannedTask("a1", "Acme - Website relaunch", {"11"}, "in progress", "6"),
                           plannedTask("a2", "Acme - Newsletter", {"11"}, "in review", "1.5"),
                           plannedTask("b1", "Brightline - API migration", {"11"}, "code review", "4"),
                           plannedTask("c1", "Cobalt - Support", {"11"}, "needs quote", "0.25")});
        TimeEntry logged = finishedEntry("ce-1", at(day, "07:30"), 75);
        logged.taskName = "Daily stand-up and mail";
        app.clickUp.timeEntries = {logged};
        DayPlanningState& dayPlan = *app.state().dayPlanningState();
        DayPlanningView view(dayPlanningSourcesOf(app.state()));
        view.resize(1320, 760);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_COMPARE(dayPlan.existingEntries().size(), 1);
        QTRY_VERIFY(!dayPlan.isLoadingAssignees());
        QVERIFY(dayPlan.addDroppedTask(DraggableTask{"a1", "Acme - Website relaunch", "Acme", 5400},
                                       at(day, "09:00")));
        QVERIFY(dayPlan.addDroppedTask(DraggableTask{"b1", "Brightline - API migration", "Brightline", 3600},
                                       at(day, "10:30")));
        QVERIFY(dayPlan.addDroppedTask(DraggableTask{"c1", "Support", "Cobalt", 1800}, at(day, "11:30")));
        QVERIFY(
            dayPlan.addDroppedTask(DraggableTask{"a2", "Acme - Newsletter", "Acme", 2700}, at(day, "13:00")));
        QTest::qWait(100);
        const QImage image = view.grab().toImage();
        QVERIFY(!image.isNull());
        const QString dir = qEnvironmentVariable("PENDLOW_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            const QString path = dir + "/dayplan.png";
            QVERIFY(image.save(path));
            qInfo("saved %s", qPrintable(path));
        }
    }
};

PENDLOW_TEST_MAIN(DayPlanningScreenshotTest)
#include "tst_DayPlanningScreenshot.moc"
