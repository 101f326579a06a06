// One refresh of the root state against a loopback ClickUp that answers a running timer and 1,000
// time entries of today: the time from the start of the refresh until the timer and worklog states
// hold the answers (the two requests, decoding, sorting, the checks after the fetches). The server
// runs on a thread of its own, so its work does not count.
#include "support/FakeClickUpServer.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/FakeToolsAPI.h"
#include "support/InMemoryKeychain.h"
#include "support/TaskAwait.h"

#include "core/Clock.h"
#include "core/UserDefaultsService.h"
#include "platform/KeychainItem.h"
#include "services/AppState.h"
#include "services/clickup/ClickUpAPIService.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int entryCount = 1000;

// The loopback ClickUp on its own thread, filled before it serves.
class ServerThread {
public:
    ServerThread() {
        m_anchor.moveToThread(&m_thread);
        m_thread.start();
        run([this] {
            m_server = new FakeClickUpServer();
            const qint64 now = Clock::nowMSecs();
            const qint64 midnight = Clock::now().date().startOfDay().toMSecsSinceEpoch();
            m_server->runningTimer =
                FakeClickUpServer::timerJson(QStringLiteral("4211094917234000000"), QStringLiteral("86c0run"),
                                             QStringLiteral("Write report"), now - 25 * 60 * 1000);
            for (int i = 0; i < entryCount; ++i) {
                m_server->timeEntries.append(FakeClickUpServer::timeEntryJson(
                    QString::number(4211094917234000001LL + i), QStringLiteral("86c0%1").arg(i % 300),
                    QStringLiteral("Task %1 [Client %2]").arg(i % 300).arg(i % 9),
                    midnight + qint64(i) * 60000, 45000));
            }
            m_url = m_server->apiUrl();
        });
    }
    ~ServerThread() {
        run([this] { delete m_server; });
        m_thread.quit();
        m_thread.wait();
    }
    QUrl url() const { return m_url; }
    int requestCount() const {
        int count = 0;
        run([this, &count] { count = m_server->http().requestCount(); });
        return count;
    }

private:
    template <typename Work>
    void run(Work work) const {
        QMetaObject::invokeMethod(&m_anchor, work, Qt::BlockingQueuedConnection);
    }

    mutable QObject m_anchor;
    QThread m_thread;
    FakeClickUpServer* m_server = nullptr;
    QUrl m_url;
};

void BM_RefreshAgainstLoopbackClickUp(benchmark::State& state) {
    ServerThread server;
    QTemporaryDir dir;
    UserDefaultsService settings(dir.filePath(QStringLiteral("Pendlow.conf")));
    settings.setTeamId(QStringLiteral("9012345678"));
    InMemoryKeychain keychain;
    keychain.putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_81234567_BENCHMARKTOKEN"));
    FakeNotificationService notifications;
    FakeToastAlertService toasts;
    FakeFloatingAlertService panels;
    ClickUpAPIService client(keychain, server.url());
    FakeToolsAPI tools; // the Tools server is not configured: no planning fetch
    AppState appState(client, tools, keychain, settings, notifications, toasts, panels);

    for (auto _ : state) {
        const auto outcome = awaitTask(appState.refresh(), 30000);
        if (!outcome.finished || appState.worklogState()->timeEntries().size() != entryCount ||
            !appState.timerState()->activeTimer() || appState.worklogState()->error()) {
            state.SkipWithError("the refresh did not fill the states");
            break;
        }
    }
    state.counters["requests_per_refresh"] =
        benchmark::Counter(double(server.requestCount()) / double(state.iterations()));
}
BENCHMARK(BM_RefreshAgainstLoopbackClickUp)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
