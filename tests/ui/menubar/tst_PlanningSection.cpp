// The planning tab: weeks in order with their clients and tasks, which weeks and clients are open
// (also while a search text forces them open), the filter, the ClickUp search results below the
// weeks, the hint, empty, loading and error states, the rows' names and hours, and starting a
// timer from a planned task.
#include "support/AppStateFixture.h"
#include "support/PlanningSamples.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/kit/SectionMessage.h"
#include "ui/kit/TaskContextMenu.h"
#include "ui/menubar/ClickUpSearchSection.h"
#include "ui/menubar/ClientGroupView.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PlanningSection.h"
#include "ui/menubar/PlanningTaskRow.h"
#include "ui/menubar/WeekPlanView.h"

#include <QLabel>

#include <memory>

namespace {
// 2 March 2026 is the Monday of week 10.
const QDateTime kWeekTen(QDate(2026, 3, 2), QTime(9, 0));

QString text(const QWidget* widget, const QString& name) {
    const auto* label = widget->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<none>");
}

// Each week as "Title (count)", followed by its open clients as "  Client: id,id" (or
// "  Client: closed").
QStringList outline(const PlanningSection& section) {
    QStringList lines;
    for (const WeekPlanView* week : section.findChildren<WeekPlanView*>()) {
        lines << text(week, "weekTitle") + u' ' + text(week, "taskCount");
        for (const ClientGroupView* client : week->findChildren<ClientGroupView*>()) {
            QStringList ids;
            for (const PlanningTaskRow* row : client->findChildren<PlanningTaskRow*>()) {
                ids << row->task().clickUpTaskId;
            }
            lines << QStringLiteral("  ") + client->clientGroup().clientName + QStringLiteral(": ") +
                         (client->isOpen() ? ids.join(u',') : QStringLiteral("closed"));
        }
    }
    return lines;
}

QStringList messages(const PlanningSection& section) {
    QStringList texts;
    for (const SectionMessage* message : section.findChildren<SectionMessage*>()) {
        if (message->parentWidget() == &section) { // not those of the search results
            texts << (message->kind() == SectionMessage::Kind::error ? QStringLiteral("error: ")
                                                                     : QString()) +
                         message->text();
        }
    }
    return texts;
}

bool headerSpins(const PlanningSection& section) {
    const auto spinners = section.findChildren<ProgressIndicator*>();
    return std::any_of(spinners.begin(), spinners.end(), [&section](const ProgressIndicator* spinner) {
        return spinner->parentWidget() == &section;
    });
}

WeekPlanView* week(const PlanningSection& section, const QString& title) {
    for (WeekPlanView* view : section.findChildren<WeekPlanView*>()) {
        if (text(view, "weekTitle") == title) {
            return view;
        }
    }
    return nullptr;
}

ClientGroupView* client(const PlanningSection& section, const QString& weekTitle, const QString& name) {
    WeekPlanView* view = week(section, weekTitle);
    for (ClientGroupView* group : view ? view->findChildren<ClientGroupView*>() : QList<ClientGroupView*>()) {
        if (group->clientGroup().clientName == name) {
            return group;
        }
    }
    return nullptr;
}

void click(QWidget* widget) {
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}
} // namespace

class PlanningSectionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<PlanningSection> m_section;

    AppState& state() { return m_fixture->state(); }

    void fetchTheUsualPlanning() {
        m_fixture->fetchPlanning({
            plannedTask("t1", "Acme - Website - Fix login", {"10"}, "other"),
            plannedTask("t2", "Beta - Report", {"10"}),
            plannedTask("t3", "acme - lower-case client", {"10"}),
            plannedTask("t4", "Acme - Deploy", {"10"}, " In Review "),
            plannedTask("t5", "Acme - Release notes", {"10"}, "in progress"),
            plannedTask("t6", "Beta - Next week", {"12"}),
            plannedTask("t7", "Gamma - Someday"),
        });
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>(kWeekTen);
        m_fixture->configureClickUp();
        m_fixture->configureTools();
        m_section =
            std::make_unique<PlanningSection>(*state().planningState(), *state().searchState(),
                                              state().avatarImages(), MenuBarView::taskActions(state()));
        MenuBarView::bindPlanningSection(*m_section, state());
        m_section->resize(340, 600);
        m_section->show();
    }

    void cleanup() {
        m_section.reset();
        m_fixture.reset();
    }

    void weeksClientsAndTasksInOrder() {
        fetchTheUsualPlanning();
        // The current week opens after the fetch; clients by name, capitals first; tasks by status,
        // keeping the server's order within a status.
        QCOMPARE(outline(*m_section), (QStringList{
                                          "Week 10 (5)",
                                          "  Acme: t5,t4,t1",
                                          "  Beta: t2",
                                          "  acme: t3",
                                          "Week 12 (1)",
                                          "Unscheduled (1)",
                                      }));
        QVERIFY(messages(*m_section).isEmpty());
        QVERIFY(!m_section->searchSection());
    }

    void headersOpenAndCloseWeeksAndClients() {
        fetchTheUsualPlanning();
        click(week(*m_section, "Week 12")->header());
        QCOMPARE(state().planningState()->expandedWeeks(), (QSet<int>{10, 12}));
        click(week(*m_section, "Week 10")->header());
        QCOMPARE(state().planningState()->expandedWeeks(), QSet<int>{12});
        QCOMPARE(outline(*m_section),
                 (QStringList{"Week 10 (5)", "Week 12 (1)", "  Beta: t6", "Unscheduled (1)"}));

        click(client(*m_section, "Week 12", "Beta")->header());
        QCOMPARE(outline(*m_section),
                 (QStringList{"Week 10 (5)", "Week 12 (1)", "  Beta: closed", "Unscheduled (1)"}));
        // A refresh keeps the closed client closed, and opens the current week again.
        fetchTheUsualPlanning();
        QCOMPARE(client(*m_section, "Week 12", "Beta")->isOpen(), false);
        QVERIFY(week(*m_section, "Week 10")->isOpen());
    }

    void aSearchTextOpensEverything() {
        fetchTheUsualPlanning();
        click(client(*m_section, "Week 10", "Acme")->header());
        state().searchState()->setSearchText(QStringLiteral("ACME"));
        // The client part of the name matches; both weeks' matching tasks show, open.
        QCOMPARE(outline(*m_section), (QStringList{"Week 10 (4)", "  Acme: t5,t4,t1", "  acme: t3"}));

        // Clicks change what is stored, not what shows, while the text stays.
        click(week(*m_section, "Week 10")->header());
        QCOMPARE(state().planningState()->expandedWeeks(), QSet<int>{});
        click(client(*m_section, "Week 10", "Acme")->header()); // opens the closed flag again
        click(client(*m_section, "Week 10", "acme")->header()); // closes this one
        QCOMPARE(outline(*m_section), (QStringList{"Week 10 (4)", "  Acme: t5,t4,t1", "  acme: t3"}));

        // Without the text the stored choices show again.
        state().planningState()->setExpandedWeeks({10});
        state().searchState()->setSearchText(QString());
        QCOMPARE(outline(*m_section), (QStringList{"Week 10 (5)", "  Acme: t5,t4,t1", "  Beta: t2",
                                                   "  acme: closed", "Week 12 (1)", "Unscheduled (1)"}));
        // A closed week forgets its clients' choices: they open again with it.
        state().planningState()->setExpandedWeeks({});
        state().planningState()->setExpandedWeeks({10});
        QCOMPARE(client(*m_section, "Week 10", "acme")->isOpen(), true);
    }

    void searchResultsBelowTheWeeks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("weeks");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("searchShown");
        QTest::addColumn<bool>("divider");
        QTest::newRow("two characters, no match")
            << "zz" << QStringList{} << QStringList{"No local tasks match 'zz'"} << false << false;
        QTest::newRow("three characters, no match")
            << "zzz" << QStringList{} << QStringList{"No local tasks match 'zzz'"} << true << false;
        QTest::newRow("three characters matching")
            << "Bet" << QStringList{"Week 10 (1)", "Week 12 (1)"} << QStringList{} << true << true;
        QTest::newRow("two characters matching by id")
            << "t7" << QStringList{"Unscheduled (1)"} << QStringList{} << false << false;
        const QString twoFlags = QStringLiteral("\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7");
        QTest::newRow("two characters of four code units")
            << twoFlags << QStringList{} << QStringList{"No local tasks match '" + twoFlags + "'"} << false
            << false;
    }

    void searchResultsBelowTheWeeks() {
        QFETCH(QString, text);
        QFETCH(QStringList, weeks);
        QFETCH(QStringList, lines);
        QFETCH(bool, searchShown);
        QFETCH(bool, divider);
        fetchTheUsualPlanning();
        state().searchState()->setSearchText(text);
        QStringList shownWeeks;
        for (const WeekPlanView* view : m_section->findChildren<WeekPlanView*>()) {
            shownWeeks << ::text(view, "weekTitle") + u' ' + ::text(view, "taskCount");
        }
        QCOMPARE(shownWeeks, weeks);
        QCOMPARE(messages(*m_section), lines);
        QCOMPARE(m_section->searchSection() != nullptr, searchShown);
        QCOMPARE(m_section->findChild<QWidget*>(QStringLiteral("divider")) != nullptr, divider);
        if (searchShown) {
            QVERIFY(m_section->searchSection()->isExpanded());
            QVERIFY(m_section->searchSection()->isVisible());
        }
    }

    void theSearchResultsStayTheSameBlockWhileShown() {
        fetchTheUsualPlanning();
        state().searchState()->setSearchText(QStringLiteral("Acme"));
        ClickUpSearchSection* first = m_section->searchSection();
        first->setExpanded(false);
        // Another keystroke, a refresh: the same block, still collapsed.
        state().searchState()->setSearchText(QStringLiteral("Acme "));
        fetchTheUsualPlanning();
        QCOMPARE(m_section->searchSection(), first);
        QVERIFY(!first->isExpanded());
        // Gone and back: a new block, expanded.
        state().searchState()->setSearchText(QStringLiteral("Ac"));
        QVERIFY(!m_section->searchSection());
        state().searchState()->setSearchText(QStringLiteral("Acm"));
        QVERIFY(m_section->searchSection());
        QVERIFY(m_section->searchSection()->isExpanded());
    }

    void statesWithoutWeeks_data() {
        QTest::addColumn<bool>("configured");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("not configured") << false << "" << QStringList{PlanningSection::configureHint};
        QTest::newRow("not configured, searching")
            << false << "abc" << QStringList{PlanningSection::configureHint};
        QTest::newRow("no planning") << true << "" << QStringList{"No planning tasks"};
    }

    void statesWithoutWeeks() {
        QFETCH(bool, configured);
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        if (!configured) {
            m_fixture->keychain.removeItem(QStringLiteral("tools-ws-token"));
            awaitTask(state().loadConfiguration());
        }
        state().searchState()->setSearchText(text);
        QCOMPARE(messages(*m_section), lines);
        QVERIFY(!m_section->searchSection());
    }

    void firstLoadShowsOnlyTheSpinner() {
        m_fixture->tools.hold();
        m_fixture->tools.planning = {{plannedTask("t1", "Acme - A", {"10"})}, std::nullopt};
        auto fetch = state().planningState()->fetchPlanning(QString(), QString(), std::nullopt);
        QTRY_COMPARE(m_fixture->tools.waiting(), 1);
        QVERIFY(headerSpins(*m_section));
        QVERIFY(messages(*m_section).isEmpty());
        QVERIFY(outline(*m_section).isEmpty());

        m_fixture->tools.release();
        awaitTask(std::move(fetch));
        QVERIFY(!headerSpins(*m_section));
        QCOMPARE(outline(*m_section), (QStringList{"Week 10 (1)", "  Acme: t1"}));

        // A later refresh keeps the weeks on screen, the same rows, and shows no spinner.
        const PlanningTaskRow* row = m_section->findChild<PlanningTaskRow*>();
        m_fixture->tools.hold();
        auto again = state().planningState()->fetchPlanning(QString(), QString(), std::nullopt);
        QTRY_COMPARE(m_fixture->tools.waiting(), 1);
        QVERIFY(!headerSpins(*m_section));
        QCOMPARE(outline(*m_section).size(), 2);
        QCOMPARE(m_section->findChild<PlanningTaskRow*>(), row);
        m_fixture->tools.release();
        awaitTask(std::move(again));
    }

    void errorBelowTheWeeks() {
        fetchTheUsualPlanning();
        m_fixture->failPlanning(std::make_exception_ptr(APIError::httpError(503, std::nullopt)));
        QCOMPARE(outline(*m_section).size(), 6);
        QCOMPARE(messages(*m_section), QStringList{"error: Server error: 503"});
        // The error row is the last thing in the section.
        const auto* error = m_section->findChildren<SectionMessage*>().constLast();
        QTRY_VERIFY(error->geometry().top() >
                    m_section->findChildren<WeekPlanView*>().constLast()->geometry().bottom());
    }

    void taskRows_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("hoursShown");
        const QString longTitle = QStringLiteral("Migrate the customer portal to the new API");
        QTest::newRow("client part removed, cleaned") << "Acme - Fix: login #bug +3 days planned"
                                                      << "2"
                                                      << "Acme"
                                                      << "Fix login"
                                                      << "Fix login"
                                                      << "2.0h";
        QTest::newRow("long title cut at 27 and dots")
            << "Acme - " + longTitle << "1.25"
            << "Acme" << longTitle.left(27) + "..." << longTitle << "1.2h";
        QTest::newRow("30 characters whole")
            << QStringLiteral("x").repeated(30) << "0.5" << QStringLiteral("x").repeated(30)
            << QStringLiteral("x").repeated(30) << QStringLiteral("x").repeated(30) << "0.5h";
        QTest::newRow("no client part") << "  Standalone task  "
                                        << "0"
                                        << "Standalone task"
                                        << "Standalone task"
                                        << "Standalone task"
                                        << "";
        QTest::newRow("empty name") << ""
                                    << "3"
                                    << ""
                                    << ""
                                    << ""
                                    << "3.0h";
    }

    void taskRows() {
        QFETCH(QString, name);
        QFETCH(QString, hours);
        QFETCH(QString, client);
        QFETCH(QString, shown);
        QFETCH(QString, tooltip);
        QFETCH(QString, hoursShown);
        m_fixture->fetchPlanning({plannedTask("t1", name, {"10"}, "in progress", hours)});
        const ClientGroupView* group = ::client(*m_section, "Week 10", client);
        QVERIFY2(group, qPrintable(outline(*m_section).join(u'\n')));
        const PlanningTaskRow* row = group->findChild<PlanningTaskRow*>();
        QCOMPARE(text(row, "taskName"), shown);
        QCOMPARE(row->findChild<QLabel*>("taskName")->toolTip(), tooltip);
        QCOMPARE(row->findChild<QLabel*>("hours") ? text(row, "hours") : QString(), hoursShown);
    }

    void startTimerFromAPlannedTask_data() {
        QTest::addColumn<bool>("silent");
        QTest::newRow("notifies") << false;
        QTest::newRow("silent mode") << true;
    }

    void startTimerFromAPlannedTask() {
        QFETCH(bool, silent);
        if (silent) {
            m_fixture->enableSilentMode();
        }
        m_fixture->fetchPlanning({plannedTask("86abc", "Acme - Fix login", {"10"})});
        PlanningTaskRow* row = m_section->findChild<PlanningTaskRow*>();
        // A plain click starts nothing.
        QTest::mouseClick(row, Qt::LeftButton);
        QTest::qWait(20);
        QVERIFY(m_fixture->clickUp.calls().isEmpty());

        std::unique_ptr<TaskContextMenu> menu(row->createContextMenu());
        QCOMPARE(menu->openAction()->isEnabled(), true);
        menu->startTimerAction()->trigger();
        QTRY_VERIFY(state().timerState()->activeTimer());
        m_fixture->checkOneTimerStart(QStringLiteral("86abc"));
        QCOMPARE(m_fixture->notifications.eventsStartingWith(QStringLiteral("timerStarted:")).isEmpty(),
                 silent);
    }
};

PENDLOW_TEST_MAIN(PlanningSectionTest)
#include "tst_PlanningSection.moc"
