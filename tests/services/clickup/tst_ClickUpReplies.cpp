// Decoding ClickUp's replies and turning them into the values the application shows.
#include "support/FakeClock.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "services/clickup/ClickUpConversions.h"
#include "services/clickup/ClickUpCurrentTimerResponse.h"
#include "services/clickup/ClickUpSearchResponse.h"
#include "services/clickup/ClickUpTimeEntriesResponse.h"
#include "services/clickup/ClickUpTimeEntryCreateResponse.h"

#include <functional>

Q_DECLARE_METATYPE(DecodingError::Kind)
Q_DECLARE_METATYPE(FlexibleValue)

namespace {
const QDateTime pinnedNow(QDate(2026, 3, 2), QTime(12, 0));

QDateTime at(qint64 milliseconds) {
    return QDateTime::fromMSecsSinceEpoch(milliseconds);
}

// Decodes a reply of the named kind; any failure must be a DecodingError.
using Decoder = std::function<void(const QByteArray&)>;
Decoder decoderFor(const QString& kind) {
    if (kind == QLatin1String("entries")) {
        return [](const QByteArray& body) { decodeJson<ClickUpTimeEntriesResponse>(body); };
    }
    if (kind == QLatin1String("create")) {
        return [](const QByteArray& body) { decodeJson<ClickUpTimeEntryCreateResponse>(body); };
    }
    if (kind == QLatin1String("timer")) {
        return [](const QByteArray& body) { decodeJson<ClickUpCurrentTimerResponse>(body); };
    }
    return [](const QByteArray& body) { decodeJson<ClickUpSearchResponse>(body); };
}

// One entry wrapped in a list reply, decoded and converted.
std::optional<TimeEntry> convertEntry(const QByteArray& entryJson) {
    const auto reply = decodeJson<ClickUpTimeEntriesResponse>("{\"data\":[" + entryJson + "]}");
    return timeEntryFromResponse(reply.data.at(0));
}
} // namespace

class ClickUpReplies : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void timeEntryConversion_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<double>("duration");
        QTest::addColumn<QString>("taskId");
        QTest::addColumn<QString>("taskName");
        QTest::addColumn<QString>("url");
        QTest::addColumn<TaskStatus>("status");

        const QDateTime start = at(1772438400000);
        const QDateTime end = at(1772443800000);
        const QString home = QStringLiteral("https://app.clickup.com");
        const QString abcPage = QStringLiteral("https://app.clickup.com/t/abc");
        const QByteArray times = j("'start':'1772438400000','end':'1772443800000','duration':'5400000'");
        const auto withTask = [&](const QByteArray& task, const QByteArray& extra = {}) {
            return j("{'id':'e1',") + times + j(",'task':") + task + extra + "}";
        };

        QTest::newRow("start as text, no task")
            << QByteArray(j("{'id':'e1',") + times + "}") << true << start << end << 5400000.0 << QString()
            << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("start, end and duration as numbers")
            << j("{'id':'e1','start':1772438400000,'end':1772443800000,'duration':5400000}") << true << start
            << end << 5400000.0 << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("running: end null, negative duration")
            << j("{'id':'e1','start':'1772438400000','end':null,'duration':'-1772438400000'}") << true
            << start << start << -1772438400000.0 << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("end missing ends at start")
            << j("{'id':'e1','start':'1772438400000','duration':'0'}") << true << start << start << 0.0
            << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("end of another JSON type is absent")
            << j("{'id':'e1','start':'1772438400000','end':true,'duration':'0'}") << true << start << start
            << 0.0 << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("end text not a number is now")
            << j("{'id':'e1','start':'1772438400000','end':'soon','duration':'1'}") << true << start
            << pinnedNow << 1.0 << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("empty end is now")
            << j("{'id':'e1','start':'1772438400000','end':'','duration':'1'}") << true << start << pinnedNow
            << 1.0 << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("empty duration is end minus start")
            << j("{'id':'e1','start':'1772438400000','end':'1772443800000','duration':''}") << true << start
            << end << 5400000.0 << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("fractional duration text is end minus start")
            << j("{'id':'e1','start':'1772438400000','end':'1772443800000','duration':'12.5'}") << true
            << start << end << 5400000.0 << QString() << "Unknown Task" << home << TaskStatus::other;
        QTest::newRow("empty start drops the entry")
            << j("{'id':'e1','start':'','end':'1772443800000','duration':'5'}") << false << QDateTime()
            << QDateTime() << 0.0 << QString() << QString() << QString() << TaskStatus::other;
        QTest::newRow("start with a space drops the entry")
            << j("{'id':'e1','start':' 1772438400000','duration':'5'}") << false << QDateTime() << QDateTime()
            << 0.0 << QString() << QString() << QString() << TaskStatus::other;
        QTest::newRow("start beyond 64 bits drops the entry")
            << j("{'id':'e1','start':'9223372036854775808','duration':'5'}") << false << QDateTime()
            << QDateTime() << 0.0 << QString() << QString() << QString() << TaskStatus::other;
        QTest::newRow("task_url not a URL wins over the task's own url")
            << withTask(j("{'id':'abc','name':'A','url':'https://app.clickup.com/t/own'}"),
                        j(",'task_url':'not a url'"))
            << true << start << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::other;
        QTest::newRow("task_url of another scheme is not used")
            << withTask(j("{'id':'abc','name':'A'}"), j(",'task_url':'javascript:alert(1)'")) << true << start
            << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::other;
        QTest::newRow("usable task_url")
            << withTask(j("{'id':'abc','name':'A','url':'https://app.clickup.com/t/own'}"),
                        j(",'task_url':'https://app.clickup.com/t/xyz'"))
            << true << start << end << 5400000.0 << "abc"
            << "A"
            << "https://app.clickup.com/t/xyz" << TaskStatus::other;
        QTest::newRow("no task_url: the task's url")
            << withTask(j("{'id':'abc','name':'A','url':'https://app.clickup.com/t/own'}")) << true << start
            << end << 5400000.0 << "abc"
            << "A"
            << "https://app.clickup.com/t/own" << TaskStatus::other;
        QTest::newRow("no task_url, unusable task url: the task's page")
            << withTask(j("{'id':'abc','name':'A','url':'::'}")) << true << start << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::other;
        QTest::newRow("task without name")
            << withTask(j("{'id':'abc'}")) << true << start << end << 5400000.0 << "abc"
            << "Unknown Task" << abcPage << TaskStatus::other;
        QTest::newRow("task name null")
            << withTask(j("{'id':'abc','name':null}")) << true << start << end << 5400000.0 << "abc"
            << "Unknown Task" << abcPage << TaskStatus::other;
        QTest::newRow("status trimmed and lower-cased")
            << withTask(j("{'id':'abc','name':'A','status':{'status':' In Review '}}")) << true << start
            << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::inReview;
        QTest::newRow("status with tabs")
            << withTask(j("{'id':'abc','name':'A','status':{'status':'\\tNeeds Clarification\\t'}}")) << true
            << start << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::needsClarification;
        QTest::newRow("status with a line break is other")
            << withTask(j("{'id':'abc','name':'A','status':{'status':'in progress\\n'}}")) << true << start
            << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::other;
        QTest::newRow("two spaces inside is other")
            << withTask(j("{'id':'abc','name':'A','status':{'status':'in  progress'}}")) << true << start
            << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::other;
        QTest::newRow("unknown status is other")
            << withTask(j("{'id':'abc','name':'A','status':{'status':'Done','color':'#6bc950'}}")) << true
            << start << end << 5400000.0 << "abc"
            << "A" << abcPage << TaskStatus::other;
    }

    void timeEntryConversion() {
        QFETCH(QByteArray, entry);
        QFETCH(bool, kept);
        FakeClock clock(pinnedNow);

        const auto converted = convertEntry(entry);
        QCOMPARE(converted.has_value(), kept);
        if (!kept) {
            return;
        }
        QCOMPARE(converted->id, QStringLiteral("e1"));
        QTEST(converted->startTime, "start");
        QTEST(converted->endTime, "end");
        QTEST(converted->duration, "duration");
        QTEST(converted->taskId, "taskId");
        QTEST(converted->taskName, "taskName");
        QTEST(converted->taskUrl.toString(), "url");
        QTEST(converted->status, "status");
    }

    void startAsNumberOrTextGivesTheSameEntry() {
        const auto fromText = convertEntry(j("{'id':'e','start':'1772438400000','duration':'60000'}"));
        const auto fromNumber = convertEntry(j("{'id':'e','start':1772438400000,'duration':60000}"));
        QVERIFY(fromText.has_value());
        QCOMPARE(fromNumber, fromText);
    }

    void realisticListReply() {
        FakeClock clock(pinnedNow);
        const auto reply =
            decodeJson<ClickUpTimeEntriesResponse>(fixture(QStringLiteral("time_entries.json")));
        QCOMPARE(reply.data.size(), 3);

        const auto finished = timeEntryFromResponse(reply.data[0]);
        QVERIFY(finished);
        QCOMPARE(finished->id, QStringLiteral("4211094917234123456"));
        QCOMPARE(finished->taskId, QStringLiteral("86c0abcde"));
        QCOMPARE(finished->taskName, QStringLiteral("Invoice export [ACME]"));
        QCOMPARE(finished->status, TaskStatus::inProgress);
        QCOMPARE(finished->taskUrl, QUrl(QStringLiteral("https://app.clickup.com/t/86c0abcde")));
        QCOMPARE(finished->startTime, at(1772438400000));
        QCOMPARE(finished->duration, 5400000.0);

        const auto withoutTask = timeEntryFromResponse(reply.data[1]);
        QVERIFY(withoutTask);
        QCOMPARE(withoutTask->taskName, QStringLiteral("Unknown Task"));
        QCOMPARE(withoutTask->endTime, at(1772447400000));
        QCOMPARE(withoutTask->duration, 1800000.0);

        const auto running = timeEntryFromResponse(reply.data[2]);
        QVERIFY(running);
        QCOMPARE(running->status, TaskStatus::codeReview);
        QCOMPARE(running->endTime, running->startTime);
        QVERIFY(running->isRunning());
        QCOMPARE(running->duration, -1772449200000.0);
    }

    void createReplyTakesArrayOrObject_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("id");
        const QByteArray first = j("{'id':'first','start':'1772438400000','duration':'60000'}");
        const QByteArray second = j("{'id':'second','start':'1772438400000','duration':'60000'}");
        QTest::newRow("array of two gives the first") << "{\"data\":[" + first + "," + second + "]}"
                                                      << "first";
        QTest::newRow("array of one") << "{\"data\":[" + second + "]}"
                                      << "second";
        QTest::newRow("single object") << "{\"data\":" + second + "}"
                                       << "second";
    }

    void createReplyTakesArrayOrObject() {
        QFETCH(QByteArray, body);
        const auto reply = decodeJson<ClickUpTimeEntryCreateResponse>(body);
        QTEST(reply.data.id, "id");
        QVERIFY(timeEntryFromResponse(reply.data).has_value());
    }

    void currentTimer_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("taskId");
        QTest::addColumn<QString>("taskName");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QDateTime>("start");

        QTest::newRow("data null") << j("{'data':null}") << false << QString() << QString() << QString()
                                   << QDateTime();
        QTest::newRow("data missing")
            << j("{}") << false << QString() << QString() << QString() << QDateTime();
        QTest::newRow("no id") << j("{'data':{'start':'1772438400000'}}") << false << QString() << QString()
                               << QString() << QDateTime();
        QTest::newRow("no start") << j("{'data':{'id':'t1'}}") << false << QString() << QString() << QString()
                                  << QDateTime();
        QTest::newRow("start not an integer, no task")
            << j("{'data':{'id':'t1','start':'12:00'}}") << true << QString() << "Unknown Task"
            << "https://app.clickup.com" << pinnedNow;
        QTest::newRow("empty start is now")
            << j("{'data':{'id':'t1','start':'','task':{'id':'abc','name':'A'}}}") << true << "abc"
            << "A"
            << "https://app.clickup.com/t/abc" << pinnedNow;
        QTest::newRow("task with its own url, duration as a number")
            << j("{'data':{'id':'t1','start':'1772438400000','duration':-1772438400000,"
                 "'task':{'id':'abc','name':'A','url':'https://app.clickup.com/t/own'}}}")
            << true << "abc"
            << "A"
            << "https://app.clickup.com/t/own" << at(1772438400000);
        QTest::newRow("start as a number")
            << j("{'data':{'id':'t1','start':1772438400000,'duration':-25,'task':{'id':'abc','name':'A'}}}")
            << true << "abc"
            << "A"
            << "https://app.clickup.com/t/abc" << at(1772438400000);
        QTest::newRow("start as a number, null task")
            << j("{'data':{'id':'t1','start':1772438400000,'task':null}}") << true << QString()
            << "Unknown Task"
            << "https://app.clickup.com" << at(1772438400000);
        QTest::newRow("start null") << j("{'data':{'id':'t1','start':null}}") << false << QString()
                                    << QString() << QString() << QDateTime();
        QTest::newRow("task_url, duration as text")
            << j("{'data':{'id':'t1','start':'1772438400000','duration':'-1',"
                 "'task':{'id':'abc','name':'A'},'task_url':'https://app.clickup.com/t/abc'}}")
            << true << "abc"
            << "A"
            << "https://app.clickup.com/t/abc" << at(1772438400000);
    }

    void currentTimer() {
        QFETCH(QByteArray, body);
        QFETCH(bool, running);
        FakeClock clock(pinnedNow);

        const auto reply = decodeJson<ClickUpCurrentTimerResponse>(body);
        const auto timer = makeActiveTimer(reply.data);
        QCOMPARE(timer.has_value(), running);
        if (!running) {
            return;
        }
        QCOMPARE(timer->id, QStringLiteral("t1"));
        QTEST(timer->taskId, "taskId");
        QTEST(timer->taskName, "taskName");
        QTEST(timer->taskUrl.toString(), "url");
        QTEST(timer->startTime, "start");
    }

    // The running timer as ClickUp's own reference example sends it, with "start" a number: the timer
    // runs (a number read as no timer showed "No Timer Running" and fired reminders).
    void referenceExampleWithNumericStart() {
        FakeClock clock(pinnedNow);
        const auto reply = decodeJson<ClickUpCurrentTimerResponse>(
            fixture(QStringLiteral("current_timer_numeric_start.json")));
        const auto timer = makeActiveTimer(reply.data);
        QVERIFY(timer);
        QCOMPARE(timer->id, QStringLiteral("1963465985517105840"));
        QCOMPARE(timer->taskId, QStringLiteral("1vwwavv"));
        QCOMPARE(timer->taskName, QStringLiteral("woof"));
        QCOMPARE(timer->startTime, at(1595282645000));
    }

    void durationTakesTextIntOrDouble_data() {
        QTest::addColumn<QByteArray>("duration");
        QTest::addColumn<FlexibleValue>("expected");
        QTest::newRow("text") << j("'-5'") << FlexibleValue{QStringLiteral("-5")};
        QTest::newRow("whole number") << QByteArray("-5") << FlexibleValue{qint64(-5)};
        QTest::newRow("fraction") << QByteArray("2.5") << FlexibleValue{2.5};
        QTest::newRow("beyond 64 bits") << QByteArray("1e30") << FlexibleValue{1e30};
    }

    void durationTakesTextIntOrDouble() {
        QFETCH(QByteArray, duration);
        const auto reply =
            decodeJson<ClickUpCurrentTimerResponse>(j("{'data':{'duration':") + duration + "}}");
        QVERIFY(reply.data && reply.data->duration);
        QTEST(*reply.data->duration, "expected");
    }

    void searchPage() {
        const auto page = decodeJson<ClickUpSearchResponse>(fixture(QStringLiteral("search_page.json")));
        QCOMPARE(page.tasks.size(), 2);

        const auto task = searchResultFromResponse(page.tasks[0]);
        QCOMPARE(task.id, QStringLiteral("86c0abcde"));
        QCOMPARE(task.status, TaskStatus::inReview);
        QCOMPARE(task.listName, QStringLiteral("Backoffice"));
        QCOMPARE(task.taskUrl, QUrl(QStringLiteral("https://app.clickup.com/t/86c0abcde")));
        QCOMPARE(task.parent, std::nullopt);
        QCOMPARE(task.assignees.size(), 2);
        QCOMPARE(task.assignees[0], (ClickUpAssignee{81234567, QStringLiteral("Jane Doe"),
                                                     QStringLiteral("#7b68ee"), std::nullopt}));
        QCOMPARE(task.assignees[1].color, std::nullopt);
        QCOMPARE(task.assignees[1].profilePicture,
                 QStringLiteral("https://attachments.clickup.com/profilePictures/81234568_abc.jpg"));
        QCOMPARE(task.subtasks.size(), 1);
        QCOMPARE(task.subtasks[0].status->status, QStringLiteral("needs quote"));

        const auto subtask = searchResultFromResponse(page.tasks[1]);
        QCOMPARE(subtask.parent, QStringLiteral("86c0abcde"));
        QCOMPARE(subtask.status, TaskStatus::other);
        QCOMPARE(subtask.listName, QStringLiteral("Unknown List"));
        QCOMPARE(subtask.taskUrl, QUrl(QStringLiteral("https://app.clickup.com/t/86c0sub01")));
        QVERIFY(subtask.assignees.isEmpty());
        QVERIFY(subtask.subtasks.isEmpty());
    }

    void rejectsMalformedReplies_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<DecodingError::Kind>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("detail"); // empty: not checked

        using K = DecodingError::Kind;
        const QString createDetail = QStringLiteral(
            "Could not decode time entry response - expected array or single object in 'data' field");
        const QByteArray good = j("{'id':'a','start':'1','duration':'1'}");

        QTest::newRow("start true") << "entries" << j("{'data':[{'id':'a','start':true,'duration':'1'}]}")
                                    << K::typeMismatch << "data[0].start"
                                    << "Expected String or Int for start";
        QTest::newRow("one bad entry fails the list")
            << "entries"
            << "{\"data\":[" + good + j(",{'id':'b','start':true,'duration':'1'},") + good + "]}"
            << K::typeMismatch << "data[1].start"
            << "Expected String or Int for start";
        QTest::newRow("start missing")
            << "entries" << j("{'data':[{'id':'a','duration':'1'}]}") << K::typeMismatch << "data[0].start"
            << "Expected String or Int for start";
        QTest::newRow("start a fraction")
            << "entries" << j("{'data':[{'id':'a','start':1.5,'duration':'1'}]}") << K::typeMismatch
            << "data[0].start"
            << "Expected String or Int for start";
        QTest::newRow("duration an object")
            << "entries" << j("{'data':[{'id':'a','start':'1','duration':{}}]}") << K::typeMismatch
            << "data[0].duration"
            << "Expected String or Int for duration";
        QTest::newRow("id a number") << "entries" << j("{'data':[{'id':7,'start':'1','duration':'1'}]}")
                                     << K::typeMismatch << "data[0].id" << QString();
        QTest::newRow("id missing") << "entries" << j("{'data':[{'start':'1','duration':'1'}]}")
                                    << K::keyNotFound << "data[0].id" << QString();
        QTest::newRow("task a string")
            << "entries" << j("{'data':[{'id':'a','start':'1','duration':'1','task':'abc'}]}")
            << K::typeMismatch << "data[0].task" << QString();
        QTest::newRow("task without id")
            << "entries" << j("{'data':[{'id':'a','start':'1','duration':'1','task':{'name':'A'}}]}")
            << K::keyNotFound << "data[0].task.id" << QString();
        QTest::newRow("task status without its text")
            << "entries"
            << j("{'data':[{'id':'a','start':'1','duration':'1','task':{'id':'t','status':{}}}]}")
            << K::keyNotFound << "data[0].task.status.status" << QString();
        QTest::newRow("task_url a number")
            << "entries" << j("{'data':[{'id':'a','start':'1','duration':'1','task_url':5}]}")
            << K::typeMismatch << "data[0].task_url" << QString();
        QTest::newRow("data missing")
            << "entries" << QByteArray("{}") << K::keyNotFound << "data" << QString();
        QTest::newRow("data null") << "entries" << j("{'data':null}") << K::valueNotFound << "data"
                                   << QString();
        QTest::newRow("data an object")
            << "entries" << j("{'data':{}}") << K::typeMismatch << "data" << QString();
        QTest::newRow("entry a string")
            << "entries" << j("{'data':['a']}") << K::typeMismatch << "data[0]" << QString();
        QTest::newRow("not JSON") << "entries" << QByteArray("<html>502 Bad Gateway</html>")
                                  << K::dataCorrupted << QString() << QString();
        QTest::newRow("empty body") << "entries" << QByteArray() << K::dataCorrupted << QString()
                                    << QString();
        QTest::newRow("truncated") << "entries" << j("{'data':[{'id':'a'") << K::dataCorrupted << QString()
                                   << QString();
        QTest::newRow("array instead of object")
            << "entries" << QByteArray("[]") << K::typeMismatch << QString() << QString();

        QTest::newRow("create: empty array")
            << "create" << j("{'data':[]}") << K::dataCorrupted << "data" << createDetail;
        QTest::newRow("create: data missing")
            << "create" << QByteArray("{}") << K::dataCorrupted << "data" << createDetail;
        QTest::newRow("create: a bad element spoils the array")
            << "create"
            << "{\"data\":[" + good + j(",{'id':'b'}]}") << K::dataCorrupted << "data" << createDetail;
        QTest::newRow("create: object without start") << "create" << j("{'data':{'id':'a','duration':'1'}}")
                                                      << K::dataCorrupted << "data" << createDetail;
        QTest::newRow("create: data a string")
            << "create" << j("{'data':'a'}") << K::dataCorrupted << "data" << createDetail;

        QTest::newRow("timer: task without name")
            << "timer" << j("{'data':{'id':'t','start':'1','task':{'id':'abc'}}}") << K::keyNotFound
            << "data.task.name" << QString();
        QTest::newRow("timer: start a boolean")
            << "timer" << j("{'data':{'id':'t','start':true}}") << K::typeMismatch << "data.start"
            << "Expected String or Int for start";
        QTest::newRow("timer: start a fraction")
            << "timer" << j("{'data':{'id':'t','start':1.5}}") << K::typeMismatch << "data.start"
            << "Expected String or Int for start";
        QTest::newRow("timer: duration a boolean")
            << "timer" << j("{'data':{'id':'t','start':'1','duration':true}}") << K::typeMismatch
            << "data.duration"
            << "Expected String, Int, or Double";
        QTest::newRow("timer: data an array")
            << "timer" << j("{'data':[]}") << K::typeMismatch << "data" << QString();

        QTest::newRow("search: tasks missing")
            << "search" << QByteArray("{}") << K::keyNotFound << "tasks" << QString();
        QTest::newRow("search: assignee id as text")
            << "search" << j("{'tasks':[{'id':'a','name':'A','assignees':[{'id':'7','username':'x'}]}]}")
            << K::typeMismatch << "tasks[0].assignees[0].id" << QString();
        QTest::newRow("search: assignee id a fraction")
            << "search" << j("{'tasks':[{'id':'a','name':'A','assignees':[{'id':7.5,'username':'x'}]}]}")
            << K::typeMismatch << "tasks[0].assignees[0].id" << QString();
        QTest::newRow("search: assignee without username")
            << "search" << j("{'tasks':[{'id':'a','name':'A','assignees':[{'id':7}]}]}") << K::keyNotFound
            << "tasks[0].assignees[0].username" << QString();
        QTest::newRow("search: list without name")
            << "search" << j("{'tasks':[{'id':'a','name':'A','list':{'id':'l'}}]}") << K::keyNotFound
            << "tasks[0].list.name" << QString();
        QTest::newRow("search: task name null") << "search" << j("{'tasks':[{'id':'a','name':null}]}")
                                                << K::valueNotFound << "tasks[0].name" << QString();
        QTest::newRow("search: subtasks an object")
            << "search" << j("{'tasks':[{'id':'a','name':'A','subtasks':{}}]}") << K::typeMismatch
            << "tasks[0].subtasks" << QString();
    }

    void rejectsMalformedReplies() {
        QFETCH(QString, reply);
        QFETCH(QByteArray, body);
        QFETCH(QString, path);
        QFETCH(QString, detail);
        try {
            decoderFor(reply)(body);
            QFAIL("the reply was accepted");
        } catch (const DecodingError& error) {
            QTEST(error.kind(), "kind");
            QCOMPARE(error.codingPath(), path);
            if (!detail.isEmpty()) {
                QCOMPARE(error.detail(), detail);
            }
            // The user reads the place as well as the cause.
            QVERIFY2(error.description().contains(path), qPrintable(error.description()));
        }
    }

    // Whatever part of a reply arrives, the decoders answer with a value or a DecodingError.
    void truncatedRepliesFailCleanly_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("time entries") << "entries" << fixture(QStringLiteral("time_entries.json"));
        QTest::newRow("search page") << "search" << fixture(QStringLiteral("search_page.json"));
        QTest::newRow("current timer")
            << "timer" << j("{'data':{'id':'t','start':'1','duration':-1,'task':{'id':'a','name':'A'}}}");
    }

    void truncatedRepliesFailCleanly() {
        QFETCH(QString, reply);
        QFETCH(QByteArray, body);
        const Decoder decode = decoderFor(reply);
        for (qsizetype length = 0; length < body.size(); ++length) {
            try {
                decode(body.left(length));
            } catch (const DecodingError&) {
            } catch (...) {
                QFAIL(qPrintable(QStringLiteral("other failure at length %1").arg(length)));
            }
        }
        decode(body);
    }
};

PENDLOW_TEST_MAIN(ClickUpReplies)
#include "tst_ClickUpReplies.moc"
