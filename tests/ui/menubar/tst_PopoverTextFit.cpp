// Text sized like the popover's geometry (a design size of N is N pixels): at the default popover
// size the worked-on names and the timer row's name are shown whole up to their own limits, the
// no-timer hint keeps to one line, and the no-timer box with four entries leaves the planning in view.
#include "core/UserDefaultsService.h"
#include "support/AppStateFixture.h"
#include "support/ClickUpSamples.h"
#include "support/FakeClock.h"
#include "support/PlanningSamples.h"
#include "support/TestMain.h"

#include "ui/kit/ElidedLabel.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/TimeEntryGroupRow.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <memory>

namespace {
const QDateTime kNow(QDate(2026, 3, 2), QTime(15, 10));

TimeEntry entry(const QString& id, const QString& name, int minutes) {
    TimeEntry e = finishedEntry(id, kNow.addSecs(-3 * 3600), minutes);
    e.taskId = QStringLiteral("t-") + id;
    e.taskName = name;
    e.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/t-") + id);
    e.status = TaskStatus::inProgress;
    return e;
}

// Realistic task names of an exact length in user-perceived characters.
QString nameOf(int length) {
    const QString text = QStringLiteral(
        "Acme Corporation - Checkout flow: payment provider switch and the refund emails for Beta");
    return text.left(length);
}
} // namespace

class PopoverTextFitTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<MenuBarView> m_view;

    AppState& state() { return m_fixture->state(); }

    void showPopover() {
        m_view = std::make_unique<MenuBarView>(state(), UserDefaultsService::shared());
        m_view->resize(MenuBarView::popoverWidth, int(MenuBarView::defaultHeight));
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QCOMPARE(m_view->size(), QSize(340, 450));
    }

    template <class T>
    T* child(const char* name) const {
        T* found = m_view->findChild<T*>(QString::fromLatin1(name));
        if (!found) {
            qWarning("no child %s", name);
        }
        return found;
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>();
        m_fixture->configureClickUp();
    }

    void cleanup() {
        m_view.reset();
        m_fixture.reset();
    }

    // A design size of N is N pixels, like every width and height of the windows.
    void fontsAreSizedLikeTheGeometry() {
        QCOMPARE(PopoverStyle::font(12).pixelSize(), 12);
        QCOMPARE(PopoverStyle::font(11, QFont::DemiBold).pixelSize(), 11);
        QCOMPARE(PopoverStyle::monospacedFont(24, QFont::Bold).pixelSize(), 24);
        QCOMPARE(PopoverStyle::font(5.6).pixelSize(), 6);
        QCOMPARE(PopoverStyle::font(0.2).pixelSize(), 1);
        QCOMPARE(PopoverStyle::symbolSize(10, nullptr), 10);
    }

    void workedOnNamesAreShownWholeUpToTheirLimit_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("shown");
        QTest::newRow("35 characters, whole") << 35 << nameOf(35);
        QTest::newRow("36 characters, cut to 32 and ...") << 36 << nameOf(32) + QStringLiteral("...");
    }

    void workedOnNamesAreShownWholeUpToTheirLimit() {
        QFETCH(int, length);
        QFETCH(QString, shown);
        const FakeClock clock(kNow);
        state().worklogState()->setTimeEntries({entry(QStringLiteral("e1"), nameOf(length), 90)});
        showPopover();
        auto* row = child<TimeEntryGroupRow>("timeEntryGroupRow");
        QVERIFY(row);
        auto* name = row->findChild<ElidedLabel*>(QStringLiteral("taskName"));
        QCOMPARE(name->text(), shown);
        QVERIFY2(!name->isElided(), qPrintable(QStringLiteral("%1 px of text in %2 px")
                                                   .arg(name->fontMetrics().horizontalAdvance(shown))
                                                   .arg(name->contentsRect().width())));
    }

    // The name has the row's whole width below the elapsed time and the Stop button.
    void timerRowShowsFiftyCharactersWhole_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        const QString ticket =
            QStringLiteral("ACME-1234 Fix the export of invoices to CSV for the finance team");
        const QString portal = QStringLiteral("Implement the login redirect for the customer portal (SSO)");
        QTest::newRow("50 characters") << ticket.left(50) << ticket.left(50);
        QTest::newRow("51 characters: 47 and ...")
            << portal.left(51) << portal.left(47) + QStringLiteral("...");
    }

    void timerRowShowsFiftyCharactersWhole() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        const FakeClock clock(kNow);
        state().timerState()->setActiveTimer(
            ActiveTimer{QStringLiteral("r1"), QStringLiteral("t1"), name, QUrl(), kNow.addSecs(-25 * 60)});
        showPopover();
        auto* label = child<ElidedLabel>("taskNameLabel");
        QVERIFY(label);
        QCOMPARE(label->text(), shown);
        QVERIFY2(!label->isElided(), qPrintable(QStringLiteral("%1 px of text in %2 px")
                                                    .arg(label->fontMetrics().horizontalAdvance(shown))
                                                    .arg(label->contentsRect().width())));
    }

    // No timer, four entries: the hint fits on one line, and the planning's title is in view
    // without scrolling.
    void noTimerBoxAndFourEntriesLeaveThePlanningInView() {
        const FakeClock clock(kNow);
        m_fixture->configureTools();
        state().worklogState()->setTimeEntries({
            entry(QStringLiteral("e1"), QStringLiteral("Beta Corp - Weekly report"), 40),
            entry(QStringLiteral("e2"), nameOf(35), 150),
            entry(QStringLiteral("e3"), QStringLiteral("Internal - Team meeting"), 45),
            entry(QStringLiteral("e4"), QStringLiteral("Gamma - Migration plan"), 30),
        });
        m_fixture->fetchPlanning(
            {plannedTask(QStringLiteral("86c2k9"), QStringLiteral("Acme - Fix login"), {QStringLiteral("10")},
                         QStringLiteral("code review"), QStringLiteral("2"))});
        showPopover();

        auto* hint = child<QLabel>("hintLabel");
        QVERIFY(hint);
        QVERIFY2(hint->height() < 2 * hint->fontMetrics().lineSpacing(),
                 qPrintable(QStringLiteral("hint %1 px high").arg(hint->height())));

        auto* scroll = child<QScrollArea>("contentScrollArea");
        auto* title = child<QWidget>("planningTitle");
        QVERIFY(scroll && title);
        QCOMPARE(scroll->verticalScrollBar()->value(), 0);
        const QRect titleInViewport(title->mapTo(scroll->viewport(), QPoint(0, 0)), title->size());
        QVERIFY2(scroll->viewport()->rect().contains(titleInViewport),
                 qPrintable(QStringLiteral("planning title at %1, viewport %2 high")
                                .arg(titleInViewport.y())
                                .arg(scroll->viewport()->height())));
    }
};

PENDLOW_TEST_MAIN(PopoverTextFitTest)
#include "tst_PopoverTextFit.moc"
