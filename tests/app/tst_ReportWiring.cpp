// The application's wiring of the report windows: the popover's "View Full Report" opens the
// "App Usage Report" window through the application's window service, and a second click raises it.
#include "support/AppRig.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "app/PendlowApp.h"
#include "services/AppState.h"
#include "services/reports/UsageReportState.h"
#include "services/usage/AppUsageSwitch.h"
#include "ui/menubar/AppUsageSection.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PopoverWindow.h"
#include "ui/reports/AppUsageReportOpener.h"
#include "ui/reports/AppUsageReportView.h"

#include <QPointer>
#include <QToolButton>

#include <memory>

class ReportWiringTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void viewFullReportOpensTheReport() {
        AppRig rig;
        rig.settings.setIsAppUsageTrackingEnabled(true);
        auto app = rig.makeApp();
        QVERIFY(!awaitTask(app->appState().loadConfiguration()).failed());
        QVERIFY(app->appState().appUsageSwitch().isActive());
        AppUsageSection* section = app->popover().content()->appUsageSection();
        QTRY_VERIFY(section->findChild<QToolButton*>(QStringLiteral("viewFullReportButton")));
        auto* button = section->findChild<QToolButton*>(QStringLiteral("viewFullReportButton"));
        QVERIFY(!app->usageReportWindows().window());

        button->click();
        QPointer<AppUsageReportView> report = app->usageReportWindows().window();
        QVERIFY(report);
        QVERIFY(report->isVisible());
        QCOMPARE(report->windowTitle(), QStringLiteral("App Usage Report"));
        QTRY_VERIFY(report->state().selectedSummary().has_value());

        section->findChild<QToolButton*>(QStringLiteral("viewFullReportButton"))->click();
        QCOMPARE(app->usageReportWindows().window(), report.data());

        // The application frees an open report window when it goes.
        app.reset();
        QVERIFY(report.isNull());
    }
};

PENDLOW_TEST_MAIN(ReportWiringTest)
#include "tst_ReportWiring.moc"
