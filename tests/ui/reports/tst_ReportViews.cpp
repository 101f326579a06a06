// The report's day list and detail (Today first, the selection, the refresh, export and delete
// buttons, the busy bar and the empty state), the delete confirmation's texts and both answers, a
// failed delete shown in the window, the export through the application's callback, the banner that
// says window titles cannot be read, the tabs, and "Done" and Esc closing the report window.
#include "support/AppStateFixture.h"
#include "support/FakeUsageDayLoader.h"
#include "support/ReportContextFill.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "services/reports/UsageReportState.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/reports/AccessibilityWarningBanner.h"
#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/DashboardTabContent.h"
#include "ui/reports/DashboardView.h"
#include "ui/reports/DateRow.h"
#include "ui/reports/ReportTab.h"

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <memory>

using namespace usagesamples;

namespace {
const QDate today = day();
const QDate yesterday = day().addDays(-1);
const QDate lastWeek = day().addDays(-7);

QStringList rowTitles(const DashboardTabContent& content) {
    QStringList titles;
    for (const DateRow* row : content.dateRows()) {
        titles.append(row->text());
    }
    return titles;
}

QList<QDate> selectedRows(const DashboardTabContent& content) {
    QList<QDate> selected;
    for (const DateRow* row : content.dateRows()) {
        if (row->isSelected()) {
            selected.append(row->date());
        }
    }
    return selected;
}

bool shown(const QWidget* widget, const QWidget& root) {
    return widget && widget->isVisibleTo(&root);
}

QMessageBox* openDialog(const QWidget& window, const QString& name) {
    for (QMessageBox* box : window.findChildren<QMessageBox*>(name)) {
        if (box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

QAbstractButton* buttonNamed(QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}
} // namespace

class ReportViewsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppStateFixture> m_app;
    std::unique_ptr<FakeUsageDayLoader> m_loader;
    std::unique_ptr<ReportContext> m_context;

    // Today (no sessions), yesterday (one) and last week (two) stored; a day two days ago listed but
    // without a summary.
    void storeDays() {
        m_loader->dates = {today, yesterday, today.addDays(-2), lastWeek};
        m_loader->summaries.insert(today, FakeUsageDayLoader::summaryWith(today, 0));
        m_loader->summaries.insert(yesterday, FakeUsageDayLoader::summaryWith(yesterday, 1));
        m_loader->summaries.insert(lastWeek, FakeUsageDayLoader::summaryWith(lastWeek, 2));
    }

    struct Shown {
        std::unique_ptr<QWidget> window;
        UsageReportState* state;
        DashboardTabContent* content;
    };

    // The day list in a window of its own, after its first load.
    Shown showDayList() {
        Shown result;
        result.window = std::make_unique<QWidget>();
        result.state = new UsageReportState(*m_loader, result.window.get());
        result.content = new DashboardTabContent(*m_context, *result.state, result.window.get());
        result.window->resize(900, 600);
        result.content->resize(900, 600);
        result.window->show();
        const TaskOutcome<void> outcome = awaitTask(result.state->appear());
        if (outcome.failed()) {
            qWarning("appear failed");
        }
        return result;
    }

    void clickRow(DashboardTabContent& content, QDate date) {
        for (DateRow* row : content.dateRows()) {
            if (row->date() == date) {
                QTest::mouseClick(row, Qt::LeftButton);
                return;
            }
        }
        QFAIL("no such row");
    }

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void init() {
        m_app = std::make_unique<AppStateFixture>(at(QStringLiteral("18:00")));
        m_loader = std::make_unique<FakeUsageDayLoader>();
        m_context = std::make_unique<ReportContext>();
        fillReportContext(*m_context, m_app->state());
        m_context->loader = m_loader.get();
    }

    void cleanup() {
        m_context.reset();
        m_loader.reset();
        m_app.reset();
    }

    void dayListAndDetail() {
        storeDays();
        auto [window, state, content] = showDayList();
        QCOMPARE(rowTitles(*content),
                 (QStringList{"Today", "13 March 2025", "12 March 2025", "7 March 2025"}));
        QCOMPARE(selectedRows(*content), QList<QDate>{today});
        // Today with no sessions is a dashboard, not the empty state.
        QVERIFY(shown(content->dashboardView(), *window));
        const auto* title = content->findChild<QLabel*>(QStringLiteral("dayTitle"));
        QCOMPARE(title->text(), QStringLiteral("14 March 2025"));
        QVERIFY(shown(title, *window));
        QVERIFY(shown(content->refreshButton(), *window));
        QVERIFY(shown(content->exportButton(), *window));
        QVERIFY(shown(content->deleteButton(), *window));
        QCOMPARE(content->refreshButton()->toolTip(), QStringLiteral("Refresh data"));
        QCOMPARE(content->exportButton()->toolTip(), QStringLiteral("Export report"));
        QCOMPARE(content->deleteButton()->toolTip(), QStringLiteral("Delete history for this day"));

        clickRow(*content, yesterday);
        QTRY_VERIFY(!state->isLoading());
        QCOMPARE(selectedRows(*content), QList<QDate>{yesterday});
        QCOMPARE(title->text(), QStringLiteral("13 March 2025"));
        QVERIFY(shown(content->dashboardView(), *window));

        // A listed day that has nothing stored: only refresh, and the empty state.
        clickRow(*content, today.addDays(-2));
        QTRY_VERIFY(!state->isLoading());
        QVERIFY(!content->dashboardView());
        QVERIFY(!shown(title, *window));
        QVERIFY(shown(content->refreshButton(), *window));
        QVERIFY(!shown(content->exportButton(), *window));
        QVERIFY(!shown(content->deleteButton(), *window));
        QVERIFY(shown(content->findChild<QLabel*>(QStringLiteral("emptyStateText")), *window));
    }

    void emptyListAndLoading() {
        storeDays();
        m_loader->loadDelayMs.insert(lastWeek, 300);
        QWidget window;
        UsageReportState state(*m_loader);
        auto* content = new DashboardTabContent(*m_context, state, &window);
        window.show();
        // Before the first load ends.
        QVERIFY(shown(content->findChild<QLabel*>(QStringLiteral("noDataLabel")), window));
        QVERIFY(content->dateRows().isEmpty());
        QVERIFY(!awaitTask(state.appear()).failed());
        QVERIFY(!shown(content->findChild<QLabel*>(QStringLiteral("noDataLabel")), window));

        clickRow(*content, lastWeek);
        // The busy bar, under the header of the summary still held.
        QVERIFY(state.isLoading());
        QVERIFY(shown(content->findChild<QProgressBar*>(QStringLiteral("loadingIndicator")), window));
        QVERIFY(shown(content->exportButton(), window));
        QTRY_VERIFY(!state.isLoading());
        QVERIFY(!shown(content->findChild<QProgressBar*>(QStringLiteral("loadingIndicator")), window));
        QVERIFY(shown(content->dashboardView(), window));
    }

    void refreshReloadsTheList() {
        storeDays();
        auto [window, state, content] = showDayList();
        m_loader->dates = {lastWeek};
        const qsizetype loadsBefore = m_loader->loads.size();
        QTest::mouseClick(content->refreshButton(), Qt::LeftButton);
        QTRY_COMPARE(rowTitles(*content), (QStringList{"Today", "7 March 2025"}));
        QTRY_COMPARE(m_loader->loads.size(), loadsBefore + 1);
        QCOMPARE(m_loader->loads.last(), today);
    }

    void deleteConfirmation_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<QDate>>("deleted");
        QTest::newRow("Cancel") << "Cancel" << QList<QDate>{};
        QTest::newRow("Delete") << "Delete" << QList<QDate>{yesterday};
    }

    void deleteConfirmation() {
        QFETCH(QString, answer);
        QFETCH(QList<QDate>, deleted);
        storeDays();
        auto [window, state, content] = showDayList();
        clickRow(*content, yesterday);
        QTRY_VERIFY(!state->isLoading());

        QTest::mouseClick(content->deleteButton(), Qt::LeftButton);
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = openDialog(*window, QStringLiteral("deleteConfirmation"))));
        QCOMPARE(box->windowTitle(), QStringLiteral("Delete Usage Data"));
        QCOMPARE(box->text(), QStringLiteral("Delete Usage Data"));
        QCOMPARE(
            box->informativeText(),
            QStringLiteral("Are you sure you want to delete all usage data for 13 March 2025? This cannot "
                           "be undone."));
        QStringList buttons;
        for (QAbstractButton* button : box->buttons()) {
            buttons.append(button->text());
        }
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Cancel", "Delete"}));
        QCOMPARE(box->buttonRole(buttonNamed(*box, QStringLiteral("Delete"))), QMessageBox::DestructiveRole);
        QCOMPARE(box->windowModality(), Qt::WindowModal);

        QTest::mouseClick(buttonNamed(*box, answer), Qt::LeftButton);
        QTRY_VERIFY(!openDialog(*window, QStringLiteral("deleteConfirmation")));
        QTRY_VERIFY(!state->isLoading());
        QCOMPARE(m_loader->deletes, deleted);
        QCOMPARE(state->selectedDate(), deleted.isEmpty() ? yesterday : today);
        QCOMPARE(content->dateRows().size(), deleted.isEmpty() ? 4 : 3);
    }

    void failedDeleteIsShown() {
        storeDays();
        m_loader->deleteFailure = onHeap(u"Operation not permitted");
        auto [window, state, content] = showDayList();
        clickRow(*content, yesterday);
        QTRY_VERIFY(!state->isLoading());
        QTest::mouseClick(content->deleteButton(), Qt::LeftButton);
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = openDialog(*window, QStringLiteral("deleteConfirmation"))));
        QTest::mouseClick(buttonNamed(*box, QStringLiteral("Delete")), Qt::LeftButton);

        const auto* error = content->findChild<QLabel*>(QStringLiteral("reportError"));
        QTRY_VERIFY(shown(error, *window));
        QVERIFY2(error->text().contains(QStringLiteral("Operation not permitted")),
                 qPrintable(error->text()));
        QCOMPARE(content->dateRows().size(), 4);
        QCOMPARE(selectedRows(*content), QList<QDate>{yesterday});
        QVERIFY(shown(content->dashboardView(), *window));
    }

    void exportGoesThroughTheCallback() {
        storeDays();
        QList<QDate> exported;
        QList<QWidget*> parents;
        m_context->showExport = [&](const DailyUsageSummary& summary, QWidget* parent) {
            exported.append(summary.date);
            parents.append(parent);
        };
        auto [window, state, content] = showDayList();
        clickRow(*content, lastWeek);
        QTRY_VERIFY(!state->isLoading());
        QTest::mouseClick(content->exportButton(), Qt::LeftButton);
        QCOMPARE(exported, QList<QDate>{lastWeek});
        QCOMPARE(parents, QList<QWidget*>{window.get()});

        // Without an export the button does nothing.
        m_context->showExport = nullptr;
        QTest::mouseClick(content->exportButton(), Qt::LeftButton);
        QCOMPARE(exported.size(), 1);
    }

    void banner_data() {
        QTest::addColumn<bool>("titleTracking");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("bannerShown");
        QTest::newRow("tracking titles, cannot read") << true << false << true;
        QTest::newRow("tracking titles, can read") << true << true << false;
        QTest::newRow("not tracking titles, cannot read") << false << false << false;
    }

    void banner() {
        QFETCH(bool, titleTracking);
        QFETCH(bool, readable);
        QFETCH(bool, bannerShown);
        storeDays();
        m_app->settings.setIsWindowTitleTrackingEnabled(titleTracking);
        bool canRead = readable;
        m_context->windowTitlesReadable = [&canRead] { return canRead; };
        AppUsageReportView view(*m_context, nullptr);
        view.show();
        QCOMPARE(shown(view.banner(), view), bannerShown);
        if (!bannerShown) {
            return;
        }
        QCOMPARE(view.banner()->findChild<QLabel*>(QStringLiteral("bannerTitle"))->text(),
                 AccessibilityWarningBanner::title);
        // The button explains what is needed and looks again a second later.
        QTest::mouseClick(view.banner()->grantButton(), Qt::LeftButton);
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = openDialog(view, QStringLiteral("windowTitlesExplanation"))));
        QCOMPARE(box->text(), AccessibilityWarningBanner::explanation);
        box->close();
        canRead = true;
        QTRY_VERIFY_WITH_TIMEOUT(!shown(view.banner(), view), 3000);
    }

    void tabs() {
        storeDays();
        QCOMPARE(reporttab::fromRawValue(onHeap(u"Timesheet")),
                 std::optional<ReportTab>(ReportTab::planning));
        QCOMPARE(reporttab::fromRawValue(onHeap(u"Dashboard")),
                 std::optional<ReportTab>(ReportTab::dashboard));
        QVERIFY(!reporttab::fromRawValue(onHeap(u"dashboard")).has_value());
        AppUsageReportView view(*m_context, nullptr);
        view.resize(1100, 700);
        view.show();
        QTRY_COMPARE(view.dashboardTab()->dateRows().size(), 4);
        QCOMPARE(view.tabButton(ReportTab::dashboard)->text(), QStringLiteral("Dashboard"));
        QCOMPARE(view.tabButton(ReportTab::planning)->text(), QStringLiteral("Timesheet"));
        QVERIFY(!view.planningView());

        QTest::mouseClick(view.tabButton(ReportTab::planning), Qt::LeftButton);
        QCOMPARE(view.selectedTab(), ReportTab::planning);
        QVERIFY(shown(view.planningView(), view));
        QVERIFY(!shown(view.dashboardTab(), view));
        // Back again, the day list is as it was.
        view.dashboardTab()->dateRows().at(1)->click();
        QTest::mouseClick(view.tabButton(ReportTab::dashboard), Qt::LeftButton);
        QVERIFY(shown(view.dashboardTab(), view));
        QTRY_COMPARE(view.state().selectedDate(), yesterday);
    }

    void doneAndEscapeClose_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Done") << false;
        QTest::newRow("Esc") << true;
    }

    void doneAndEscapeClose() {
        QFETCH(bool, escape);
        storeDays();
        AppUsageReportView view(*m_context, nullptr);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.doneButton()->text(), QStringLiteral("Done"));
        if (escape) {
            view.activateWindow();
            QTRY_VERIFY(view.isActiveWindow());
            QTest::keyClick(&view, Qt::Key_Escape);
        } else {
            QTest::mouseClick(view.doneButton(), Qt::LeftButton);
        }
        QTRY_VERIFY(!view.isVisible());
    }
};

PENDLOW_TEST_MAIN(ReportViewsTest)
#include "tst_ReportViews.moc"
