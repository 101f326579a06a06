// Pictures of the "App Usage Report" window's two tabs at the size it opens with, a seeded history
// and a planned day, for the README: saved as $PENDLOW_SCREENSHOT_DIR/report.png (Dashboard) and
// report-planning.png (Day Planning) (scripts/screenshot-report.sh). Without the variable it only
// checks that the window renders.
#include "support/AppStateFixture.h"
#include "support/FakeUsageDayLoader.h"
#include "support/ReportContextFill.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "services/dayplan/DayPlanningState.h"
#include "services/reports/UsageReportState.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/reports/AppUsageReportOpener.h"
#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/DashboardTabContent.h"
#include "ui/reports/ReportWindowManager.h"

#include <QDir>

using namespace usagesamples;

class ReportScreenshotTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void rendersTheReport() {
        AppStateFixture app(at(QStringLiteral("18:00")));
        FakeUsageDayLoader loader;
        for (int i = 0; i < 6; ++i) {
            const QDate stored = day().addDays(-i);
            loader.dates.append(stored);
            loader.summaries.insert(stored, FakeUsageDayLoader::summaryWith(stored, 3 + i));
        }
        ReportContext context;
        fillReportContext(context, app.state());
        context.loader = &loader;
        ReportWindowManager windows(context);
        AppUsageReportOpener reports(context, windows);
        reports.showReport();
        AppUsageReportView* report = reports.window();
        QVERIFY(QTest::qWaitForWindowExposed(report));
        QTRY_VERIFY(report->state().selectedSummary().has_value());
        QTRY_COMPARE(report->dashboardTab()->dateRows().size(), 6);
        QTest::qWait(100);
        qInfo("the report opens at %dx%d", report->width(), report->height());
        save(report->grab().toImage(), QStringLiteral("report.png"));

        DayPlanningState& plan = *app.state().dayPlanningState();
        report->setSelectedTab(ReportTab::planning);
        QTRY_VERIFY(report->planningView() && report->planningView()->isVisible());
        QTRY_VERIFY(!plan.isLoading());
        const QDateTime dayStart = plan.selectedDate().date().startOfDay();
        QVERIFY(plan.addDroppedTask(
            DraggableTask{onHeap(u"a1"), onHeap(u"Acme - Website relaunch"), onHeap(u"Acme"), 5400},
            dayStart.addSecs(9 * 3600)));
        QVERIFY(plan.addDroppedTask(
            DraggableTask{onHeap(u"b1"), onHeap(u"Brightline - API migration"), onHeap(u"Brightline"), 3600},
            dayStart.addSecs(11 * 3600)));
        QTest::qWait(100);
        save(report->grab().toImage(), QStringLiteral("report-planning.png"));
    }

private:
    static void save(const QImage& image, const QString& name) {
        QVERIFY(!image.isNull());
        const QString dir = qEnvironmentVariable("PENDLOW_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            const QString path = dir + u'/' + name;
            QVERIFY(image.save(path));
            qInfo("saved %s", qPrintable(path));
        }
    }
};

PENDLOW_TEST_MAIN(ReportScreenshotTest)
#include "tst_ReportScreenshot.moc"
