// A picture of the "App Usage Report" window with a seeded history, for the README: saved as
// $PENDLOW_SCREENSHOT_DIR/report.png (scripts/screenshot-report.sh). Without the variable it only
// checks that the window renders.
#include "support/AppStateFixture.h"
#include "support/FakeUsageDayLoader.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "services/reports/UsageReportState.h"
#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/AppUsageWindowService.h"
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
        context.appState = &app.state();
        context.loader = &loader;
        ReportWindowManager windows(context);
        AppUsageWindowService reports(context, windows);
        reports.showReport();
        AppUsageReportView* report = reports.window();
        report->resize(1000, 620);
        QVERIFY(QTest::qWaitForWindowExposed(report));
        QTRY_VERIFY(report->state().selectedSummary().has_value());
        QTRY_COMPARE(report->dashboardTab()->dateRows().size(), 6);
        QTest::qWait(100);
        const QImage image = report->grab().toImage();
        QVERIFY(!image.isNull());
        const QString dir = qEnvironmentVariable("PENDLOW_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            const QString path = dir + QStringLiteral("/report.png");
            QVERIFY(image.save(path));
            qInfo("saved %s", qPrintable(path));
        }
    }
};

PENDLOW_TEST_MAIN(ReportScreenshotTest)
#include "tst_ReportScreenshot.moc"
