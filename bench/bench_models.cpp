// Cost of reading ClickUp replies into display values and of the shared formatting helpers.
#include "core/Formatting.h"
#include "core/JsonReader.h"
#include "services/clickup/ClickUpConversions.h"
#include "services/clickup/ClickUpTimeEntriesResponse.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <benchmark/benchmark.h>

namespace {
constexpr int entryCount = 5000;

// A time-entry list reply shaped like ClickUp's: most entries finished, some without task, the
// last one running; numbers mostly as text, some as JSON numbers.
QByteArray timeEntriesReply() {
    const qint64 dayStart = 1772409600000; // 2026-03-02 00:00 UTC
    const QStringList statuses{QStringLiteral("in progress"), QStringLiteral("In Review"),
                               QStringLiteral("code review"), QStringLiteral("done"),
                               QStringLiteral("needs quote")};
    QJsonArray entries;
    for (int i = 0; i < entryCount; ++i) {
        const qint64 start = dayStart + qint64(i) * 90000;
        const qint64 duration = 60000 + (i % 7) * 5000;
        const bool running = i == entryCount - 1;
        QJsonObject entry{
            {QStringLiteral("id"), QString::number(4211094917234000000LL + i)},
            {QStringLiteral("wid"), QStringLiteral("9012345678")},
            {QStringLiteral("user"),
             QJsonObject{{QStringLiteral("id"), 81234567},
                         {QStringLiteral("username"), QStringLiteral("Jane Doe")},
                         {QStringLiteral("email"), QStringLiteral("jane@example.com")},
                         {QStringLiteral("color"), QStringLiteral("#7b68ee")},
                         {QStringLiteral("initials"), QStringLiteral("JD")},
                         {QStringLiteral("profilePicture"), QJsonValue::Null}}},
            {QStringLiteral("billable"), false},
            {QStringLiteral("description"), i % 3 == 0 ? QStringLiteral("Follow-up call") : QString()},
            {QStringLiteral("tags"), QJsonArray()},
            {QStringLiteral("source"), QStringLiteral("clickup")},
            {QStringLiteral("at"), QString::number(start + duration + 123)},
        };
        if (i % 2 == 0) {
            entry.insert(QStringLiteral("start"), QString::number(start));
            entry.insert(QStringLiteral("duration"), QString::number(running ? -start : duration));
        } else {
            entry.insert(QStringLiteral("start"), start);
            entry.insert(QStringLiteral("duration"), running ? -start : duration);
        }
        entry.insert(QStringLiteral("end"),
                     running ? QJsonValue(QJsonValue::Null) : QJsonValue(QString::number(start + duration)));
        if (i % 10 != 0) {
            const QString taskId = QStringLiteral("86c0%1").arg(i % 400, 5, 36, QLatin1Char('0'));
            entry.insert(QStringLiteral("task"),
                         QJsonObject{{QStringLiteral("id"), taskId},
                                     {QStringLiteral("name"),
                                      QStringLiteral("Task %1 [Client %2]").arg(i % 400).arg(i % 9)},
                                     {QStringLiteral("status"),
                                      QJsonObject{{QStringLiteral("status"), statuses[i % statuses.size()]},
                                                  {QStringLiteral("color"), QStringLiteral("#4194f6")},
                                                  {QStringLiteral("type"), QStringLiteral("custom")},
                                                  {QStringLiteral("orderindex"), i % 5}}},
                                     {QStringLiteral("custom_type"), QJsonValue::Null}});
            entry.insert(QStringLiteral("task_url"), QStringLiteral("https://app.clickup.com/t/") + taskId);
            entry.insert(QStringLiteral("task_location"),
                         QJsonObject{{QStringLiteral("list_id"), QStringLiteral("901234")},
                                     {QStringLiteral("folder_id"), QStringLiteral("901233")},
                                     {QStringLiteral("space_id"), QStringLiteral("90120")}});
        }
        entries.append(entry);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("data"), entries}}).toJson(QJsonDocument::Compact);
}

const QByteArray& reply() {
    static const QByteArray bytes = timeEntriesReply();
    return bytes;
}

// The whole road of a list reply: bytes → reply type → display values.
void decodeTimeEntries(benchmark::State& state) {
    const QByteArray& bytes = reply();
    for (auto _ : state) {
        const auto response = decodeJson<ClickUpTimeEntriesResponse>(bytes);
        QList<TimeEntry> entries;
        entries.reserve(response.data.size());
        for (const auto& entry : response.data) {
            if (auto converted = timeEntryFromResponse(entry)) {
                entries.append(*std::move(converted));
            }
        }
        if (entries.size() != entryCount) {
            state.SkipWithError("entries lost");
        }
        benchmark::DoNotOptimize(entries);
    }
    state.SetItemsProcessed(state.iterations() * entryCount);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(decodeTimeEntries)->Unit(benchmark::kMillisecond);

// Qt's JSON parse of the same bytes alone: the floor under decodeTimeEntries.
void parseTimeEntriesJsonOnly(benchmark::State& state) {
    const QByteArray& bytes = reply();
    for (auto _ : state) {
        benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(parseTimeEntriesJsonOnly)->Unit(benchmark::kMillisecond);

void hoursMinutes(benchmark::State& state) {
    double milliseconds = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(hoursMinutesText(milliseconds));
        milliseconds += 61234.5;
        if (milliseconds > 400.0 * 3600 * 1000) {
            milliseconds = 0;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(hoursMinutes);

void colorsFromHex(benchmark::State& state) {
    const QStringList samples{QStringLiteral("#7b68ee"),  QStringLiteral("#FF0000"),
                              QStringLiteral("80FF0000"), QStringLiteral("#abc"),
                              QStringLiteral(" #f80 "),   QStringLiteral("12345"),
                              QStringLiteral("GGGGGG"),   QStringLiteral("#4194f6")};
    qsizetype index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(colorFromHex(samples[index]));
        index = (index + 1) % samples.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(colorsFromHex);
} // namespace

BENCHMARK_MAIN();
