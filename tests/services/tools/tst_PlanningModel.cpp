// The planning reply and the values derived from a planned task: hours, weeks, clients, status order.
#include "support/OutputCapture.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "services/tools/ClientGroup.h"
#include "services/tools/ToolsPlanningResponse.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
// A planning reply whose "data" holds the given text.
QByteArray replyWithData(const QByteArray& data) {
    return QJsonDocument(QJsonObject{{"data", QString::fromUtf8(data)}, {"xbarversion", "2.4.1"}}).toJson();
}

PlanningTask task(const QString& name, const QString& status = QStringLiteral("other"),
                  const QString& id = QStringLiteral("id")) {
    PlanningTask t;
    t.name = name;
    t.clickUpTaskId = id;
    t.status = status;
    return t;
}

QStringList names(const QList<PlanningTask>& tasks) {
    QStringList result;
    for (const PlanningTask& t : tasks) {
        result.append(t.name);
    }
    return result;
}
} // namespace

class PlanningModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodesFixtureTasks_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("taskId");
        QTest::addColumn<QStringList>("weekKeys");
        QTest::addColumn<double>("totalHours");

        QTest::newRow("weeks with entries") << 0 << "86abc1" << QStringList{"36", "38"} << 10.75;
        QTest::newRow("weeks sent as a list") << 1 << "86abc2" << QStringList{} << 0.0;
        QTest::newRow("weeks missing") << 2 << "86abc3" << QStringList{} << 0.0;
        QTest::newRow("an entry holding a number") << 3 << "86abc4" << QStringList{} << 0.0;
        QTest::newRow("weeks null") << 4 << "86abc5" << QStringList{} << 0.0;
    }

    void decodesFixtureTasks() {
        QFETCH(int, index);
        QFETCH(QString, taskId);
        QFETCH(QStringList, weekKeys);
        QFETCH(double, totalHours);

        const auto reply = decodeJson<ToolsPlanningResponse>(replyWithData(fixture("planning_tasks.json")));
        const QList<PlanningTask> tasks = reply.parseTasks();
        QCOMPARE(tasks.size(), 5);
        const PlanningTask& t = tasks.at(index);
        QCOMPARE(t.clickUpTaskId, taskId);
        QCOMPARE(t.weeks.keys(), weekKeys);
        QCOMPARE(t.totalHours(), totalHours);
        QVERIFY(t.assignees.isEmpty());
        QCOMPARE(t.clickUpURL(), QUrl(QStringLiteral("https://app.clickup.com/t/") + taskId));
        QCOMPARE(reply.xbarVersion, QStringLiteral("2.4.1"));
    }

    void decodesReplies_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<int>("taskCount");
        QTest::addColumn<bool>("reportsFailure");
        QTest::addColumn<std::optional<QString>>("version");

        const std::optional<QString> none;
        const std::optional<QString> version = QStringLiteral("2.4.1");
        QTest::newRow("data absent") << j("{'xbarversion':'2.4.1'}") << true << 0 << false << version;
        QTest::newRow("data and version null")
            << j("{'data':null,'xbarversion':null}") << true << 0 << false << none;
        QTest::newRow("empty object") << j("{}") << true << 0 << false << none;
        QTest::newRow("empty list") << replyWithData("[]") << true << 0 << false << version;
        QTest::newRow("one task lacks its status")
            << replyWithData(fixture("planning_tasks_missing_status.json")) << true << 0 << true << version;
        QTest::newRow("data is no JSON") << replyWithData("not json") << true << 0 << true << version;
        QTest::newRow("data is an object") << replyWithData("{}") << true << 0 << true << version;
        QTest::newRow("data is a number") << j("{'data':5}") << false << 0 << false << none;
        QTest::newRow("reply is no JSON") << QByteArray("<html>") << false << 0 << false << none;
        QTest::newRow("reply is a list") << j("[]") << false << 0 << false << none;
    }

    void decodesReplies() {
        QFETCH(QByteArray, body);
        QFETCH(bool, decodes);
        QFETCH(int, taskCount);
        QFETCH(bool, reportsFailure);
        QFETCH(std::optional<QString>, version);

        std::optional<ToolsPlanningResponse> reply;
        try {
            reply = decodeJson<ToolsPlanningResponse>(body);
        } catch (const DecodingError&) {
        }
        QCOMPARE(reply.has_value(), decodes);
        if (!reply) {
            return;
        }
        OutputCapture capture;
        const QList<PlanningTask> tasks = reply->parseTasks();
        const QString printed = capture.text();
        QCOMPARE(tasks.size(), taskCount);
        QCOMPARE(printed.startsWith(QLatin1String("Failed to parse planning tasks: ")), reportsFailure);
        QCOMPARE(printed.isEmpty(), !reportsFailure);
        QCOMPARE(reply->xbarVersion, version);
    }

    void missingStatusNamesThePlace() {
        const auto reply =
            decodeJson<ToolsPlanningResponse>(replyWithData(fixture("planning_tasks_missing_status.json")));
        OutputCapture capture;
        reply.parseTasks();
        QVERIFY2(capture.text().contains(QLatin1String("[1].status")), qPrintable(capture.text()));
    }

    void readsPlannedAmounts_data() {
        QTest::addColumn<std::optional<QString>>("text");
        QTest::addColumn<double>("amount");

        QTest::newRow("absent") << std::optional<QString>() << 0.0;
        QTest::newRow("whole") << std::optional<QString>("7") << 7.0;
        QTest::newRow("decimal point") << std::optional<QString>("7.5") << 7.5;
        QTest::newRow("leading point") << std::optional<QString>(".5") << 0.5;
        QTest::newRow("plus sign") << std::optional<QString>("+2") << 2.0;
        QTest::newRow("minus sign") << std::optional<QString>("-1.5") << -1.5;
        QTest::newRow("exponent") << std::optional<QString>("1e1") << 10.0;
        QTest::newRow("decimal comma") << std::optional<QString>("7,5") << 0.0;
        QTest::newRow("leading blank") << std::optional<QString>(" 7") << 0.0;
        QTest::newRow("trailing blank") << std::optional<QString>("7 ") << 0.0;
        QTest::newRow("unit after it") << std::optional<QString>("7h") << 0.0;
        QTest::newRow("empty") << std::optional<QString>("") << 0.0;
        QTest::newRow("two signs") << std::optional<QString>("+-1") << 0.0;
        QTest::newRow("not a number") << std::optional<QString>("nan") << 0.0;
        QTest::newRow("infinite") << std::optional<QString>("1e999") << 0.0;
    }

    void readsPlannedAmounts() {
        QFETCH(std::optional<QString>, text);
        QFETCH(double, amount);
        QCOMPARE(WeekEntry::plannedAmount(text), amount);
    }

    void addsMinutesToHours() {
        WeekEntry entry;
        entry.hours = QStringLiteral("7.5");
        entry.minutes = QStringLiteral("30");
        QCOMPARE(entry.plannedHours(), 8.0);
        entry.hours = QStringLiteral("7,5");
        QCOMPARE(entry.plannedHours(), 0.5);
    }

    void findsFirstWeek_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("week");
        QTest::addColumn<int>("first");

        const QStringList mixed{"36", "38", "x", ""};
        QTest::newRow("next planned week") << mixed << 37 << 38;
        QTest::newRow("none left") << mixed << 39 << 0;
        QTest::newRow("this week counts") << QStringList{"11", "10"} << 10 << 10;
        QTest::newRow("numbers, not texts") << QStringList{"9", "10"} << 9 << 9;
        QTest::newRow("signs and zeros") << QStringList{"+40", "037"} << 37 << 37;
        QTest::newRow("next year's week 1 is in the past") << QStringList{"1"} << 52 << 0;
        QTest::newRow("not decimal") << QStringList{"0x30", "38.0", " 38"} << 1 << 0;
        QTest::newRow("beyond an int") << QStringList{"99999999999"} << 1 << 0;
        QTest::newRow("no weeks") << QStringList{} << 1 << 0;
    }

    void findsFirstWeek() {
        QFETCH(QStringList, keys);
        QFETCH(int, week);
        QFETCH(int, first);
        PlanningTask t = task("Acme - Site");
        for (const QString& key : keys) {
            t.weeks.insert(key, {}); // an empty week still counts
        }
        QCOMPARE(t.firstWeek(week), first);
    }

    void splitsClientAndTitle_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("title");

        QTest::newRow("three parts") << "Client A - Site - Fix login"
                                     << "Client A"
                                     << "Site - Fix login";
        QTest::newRow("blanks around the parts") << "\tAcme  -  Fix "
                                                 << "Acme"
                                                 << "Fix";
        QTest::newRow("no separator") << "  Solo  "
                                      << "Solo"
                                      << "  Solo  ";
        QTest::newRow("hyphen without blanks") << "A-B"
                                               << "A-B"
                                               << "A-B";
        QTest::newRow("hyphen with one blank") << "A -B"
                                               << "A -B"
                                               << "A -B";
        QTest::newRow("empty title") << "Acme - "
                                     << "Acme"
                                     << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("line break is not trimmed") << "Acme\n - Fix"
                                                   << "Acme\n"
                                                   << "Fix";
    }

    void splitsClientAndTitle() {
        QFETCH(QString, name);
        QFETCH(QString, client);
        QFETCH(QString, title);
        QCOMPARE(task(name).clientName(), client);
        QCOMPARE(task(name).taskNameWithoutClient(), title);
    }

    void ordersByStatus_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("before");

        QTest::newRow("in progress, in review") << "  In Progress\t"
                                                << "IN REVIEW" << true;
        QTest::newRow("in review, code review") << "in review"
                                                << "code review" << true;
        QTest::newRow("needs quote, needs clarification") << "needs quote"
                                                          << "needs clarification" << true;
        QTest::newRow("needs clarification, unknown") << "needs clarification"
                                                      << "blocked" << true;
        QTest::newRow("unknown ranks as other") << "blocked"
                                                << "other" << false;
        QTest::newRow("equal") << "in review"
                               << "In Review" << false;
        QTest::newRow("reversed") << "code review"
                                  << "in progress" << false;
    }

    void ordersByStatus() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, before);
        QCOMPARE(PlanningTask::isOrderedBeforeByStatus(task("a", first), task("b", second)), before);
    }

    void statusSortKeepsOrderWithinAStatus() {
        const QList<PlanningTask> tasks{task("a", "other"), task("b", "in progress"), task("c", "blocked"),
                                        task("d", "in review"), task("e", " in progress")};
        QCOMPARE(names(PlanningTask::sortedByStatus(tasks)), (QStringList{"b", "e", "d", "a", "c"}));
    }

    void groupsByClient() {
        const QList<PlanningTask> tasks{
            task("beta - one"),
            task("Acme - late", "other"),
            task(QString::fromUtf8("\xC3\x84gypten - trip")),
            task("Zed"),
            task("Acme - urgent", "in progress"),
            task(""),
            task("Acme - later", "other"),
        };
        const QList<ClientGroup> groups = ClientGroup::fromTasks(tasks);
        QStringList clients;
        for (const ClientGroup& group : groups) {
            clients.append(group.clientName);
        }
        // Code-point order: empty first, capitals before small letters, non-ASCII last.
        QCOMPARE(clients, (QStringList{"", "Acme", "Zed", "beta", QString::fromUtf8("\xC3\x84gypten")}));
        QCOMPARE(names(groups.at(1).tasks), (QStringList{"Acme - urgent", "Acme - late", "Acme - later"}));
        // The raw grouping keeps the input order.
        QCOMPARE(names(PlanningTask::groupByClient(tasks).value("Acme")),
                 (QStringList{"Acme - late", "Acme - urgent", "Acme - later"}));
    }

    void ordersClientNamesByCodePoint() {
        // U+FF21 (fullwidth A) is a single UTF-16 unit above the surrogates; U+1D400 needs two.
        QVERIFY(ClientGroup::isNameOrderedBefore(QString::fromUtf8("\xEF\xBC\xA1"),
                                                 QString::fromUtf8("\xF0\x9D\x90\x80")));
        // Canonically equal spellings are equal.
        QVERIFY(
            !ClientGroup::isNameOrderedBefore(QString::fromUtf8("e\xCC\x81"), QString::fromUtf8("\xC3\xA9")));
        QVERIFY(
            !ClientGroup::isNameOrderedBefore(QString::fromUtf8("\xC3\xA9"), QString::fromUtf8("e\xCC\x81")));
    }
};

PENDLOW_TEST_MAIN(PlanningModel)
#include "tst_PlanningModel.moc"
