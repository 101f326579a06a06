// Pictures of the day dashboard with a sample day, for the README: saved as
// $PENDLOW_SCREENSHOT_DIR/dashboard.png and, with an afternoon range picked, dashboard-filtered.png
// (scripts/screenshot-dashboard.sh). Without the variable it only checks that the dashboard renders.
#include "support/FakeClock.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "ui/reports/ApplicationsSection.h"
#include "ui/reports/BreakdownGrid.h"
#include "ui/reports/DashboardView.h"
#include "ui/reports/ExpandableAppRow.h"

#include <QDir>

using namespace usagesamples;

namespace {
struct Visit {
    const char* app;
    const char* name;
    const char* from;
    const char* to;
    QStringList titles;
    QStringList addresses;
};

DailyUsageSummary sampleDay() {
    const QList<Visit> visits{
        {"com.apple.mail",
         "Mail",
         "08:05",
         "08:35",
         {"Quarterly numbers - Inbox", "Re: Release plan - Inbox"},
         {}},
        {"com.google.Chrome",
         "Chrome",
         "08:35",
         "09:20",
         {"Pendlow board - ClickUp", "QWidget Class | Qt Widgets 6.4", "QWidget Class | Qt Widgets 6.4"},
         {"https://app.clickup.com/t/86abc", "https://doc.qt.io/qt-6/qwidget.html",
          "https://doc.qt.io/qt-6/qpainter.html"}},
        {"com.microsoft.VSCode",
         "Code",
         "09:20",
         "11:40",
         {"DashboardView.cpp - pendlow - Visual Studio Code", "~/src/pendlow/README.md - Visual Studio Code",
          "TimelineSection.cpp - pendlow - Visual Studio Code"},
         {}},
        {"com.tinyspeck.slackmacgap", "Slack", "11:40", "12:05", {"standup - Brisvane - Slack"}, {}},
        {"com.apple.Terminal",
         "Terminal",
         "13:00",
         "13:50",
         {"~/src/pendlow - ninja", "~/src/pendlow - ctest"},
         {}},
        {"com.google.Chrome",
         "Chrome",
         "13:50",
         "14:30",
         {"Pull request review - GitHub", "Pendlow board - ClickUp"},
         {"https://github.com/brisvane/pendlow/pull/16", "https://app.clickup.com/t/86abc"}},
        {"com.figma.Desktop",
         "Figma",
         "14:30",
         "15:20",
         {"Dashboard mock-up - Figma", "Dashboard mock-up - Figma"},
         {}},
        {"com.microsoft.VSCode",
         "Code",
         "15:20",
         "16:45",
         {"tst_DashboardView.cpp - pendlow - Visual Studio Code",
          "BreakdownGrid.cpp - pendlow - Visual Studio Code"},
         {}},
    };
    QList<AppUsageSession> sessions;
    for (const Visit& visit : visits) {
        AppUsageSession s = session(QString::fromLatin1(visit.app), QString::fromLatin1(visit.name),
                                    at(QString::fromLatin1(visit.from)), at(QString::fromLatin1(visit.to)),
                                    QString::fromLatin1(visit.app).contains(QLatin1String("VSCode"))
                                        ? std::optional<QString>(QStringLiteral("86abc"))
                                        : std::nullopt);
        for (qsizetype i = 0; i < visit.titles.size(); ++i) {
            s.addCapture(capture(visit.titles[i], at(QString::fromLatin1(visit.from)),
                                 i < visit.addresses.size() ? std::optional<QString>(visit.addresses[i])
                                                            : std::nullopt));
        }
        sessions << s;
    }
    return DailyUsageSummary{day(), sessions, std::nullopt, std::nullopt};
}

TimeEntry entry(const QString& name, const QString& from, const QString& to) {
    TimeEntry result;
    result.id = name;
    result.taskName = name;
    result.startTime = at(from);
    result.endTime = at(to);
    return result;
}
} // namespace

class DashboardScreenshotTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void rendersASampleDay() {
        FakeClock clock(at("18:00"));
        DashboardView view(sampleDay(),
                           {entry(QStringLiteral("Pendlow - Dashboard timeline"), "09:15", "11:45"),
                            entry(QStringLiteral("Support"), "13:00", "13:45"),
                            entry(QStringLiteral("Pendlow - Breakdown cards"), "15:15", "16:45")});
        view.resize(900, 760);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.grid()->applications()->rows().first()->toggle();
        QTest::qWait(100);
        save(view, QStringLiteral("dashboard.png"));
        // The afternoon picked on the timeline.
        view.setFilter(at("13:20"), at("15:40"));
        QTest::qWait(50);
        save(view, QStringLiteral("dashboard-filtered.png"));
    }

private:
    static void save(QWidget& view, const QString& name) {
        const QImage image = view.grab().toImage();
        QVERIFY(!image.isNull());
        const QString dir = qEnvironmentVariable("PENDLOW_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            const QString path = dir + QLatin1Char('/') + name;
            QVERIFY(image.save(path));
            qInfo("saved %s", qPrintable(path));
        }
    }
};

PENDLOW_TEST_MAIN(DashboardScreenshotTest)
#include "tst_DashboardScreenshot.moc"
