// The pendlow-web helper as the user meets it: time from starting the process to its window being
// shown, to the page being loaded and to the page's first paint, and the memory of the helper with
// the web-engine processes it starts. Needs a display (make bench runs it under Xvfb); the page
// comes from a small HTTP server on 127.0.0.1.
#include "platform/WebHelperProcess.h"
#include "platform/WebHelperProtocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <optional>

namespace {
const QByteArray kPage = "<!DOCTYPE html><html><head><title>Task</title></head>"
                         "<body style=\"font-family: sans-serif\"><h1>Fix the login bug</h1>"
                         "<p>A task page of moderate size.</p></body></html>";

// Answers every request with kPage.
class PageServer : public QObject {
public:
    PageServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    if (!socket->readAll().contains("\r\n\r\n")) {
                        return;
                    }
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n"
                                  "Content-Length: " +
                                  QByteArray::number(kPage.size()) + "\r\n\r\n" + kPage);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/task").arg(m_server.serverPort()); }

private:
    QTcpServer m_server;
};

qint64 statusKb(qint64 pid, const char* field, const char* file = "status") {
    QFile source(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!source.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : source.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLongLong();
        }
    }
    return 0;
}

QList<qint64> withDescendants(qint64 pid) {
    QHash<qint64, QList<qint64>> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1) {
            children[fields[1].toLongLong()] << entry.toLongLong();
        }
    }
    QList<qint64> all{pid};
    for (qsizetype i = 0; i < all.size(); ++i) {
        all << children.value(all[i]);
    }
    return all;
}

struct Run {
    std::optional<double> shownMs, loadedMs, paintedMs;
};

void BM_WebHelperStartToFirstPaint(benchmark::State& state) {
    PageServer server;
    const QString program =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../pendlow-web"));
    double shown = 0, loaded = 0, rssHelper = 0, rssAll = 0, pssAll = 0, processes = 0;
    for (auto _ : state) {
        WebHelperProcess helper;
        Run run;
        QElapsedTimer clock;
        QEventLoop loop;
        QObject::connect(&helper, &WebHelperProcess::lineReceived, &loop, [&](const QByteArray& line) {
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            if (line == WebHelperProtocol::shownLine) {
                run.shownMs = ms;
            } else if (line == "trace loaded") {
                run.loadedMs = ms;
            } else if (line == "trace painted") {
                run.paintedMs = ms;
                loop.quit();
            }
        });
        QObject::connect(&helper, &WebHelperProcess::ended, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        clock.start();
        helper.start(program, {QStringLiteral("browse"), QStringLiteral("--trace"), QStringLiteral("--title"),
                               QStringLiteral("Task"), QStringLiteral("--"), server.address()});
        loop.exec();
        if (!run.paintedMs) {
            state.SkipWithError("the helper did not paint its page");
            break;
        }
        state.SetIterationTime(*run.paintedMs / 1000);
        shown += run.shownMs.value_or(0);
        loaded += run.loadedMs.value_or(0);

        // Memory once the page has settled.
        QEventLoop settle;
        QTimer::singleShot(1000, &settle, &QEventLoop::quit);
        settle.exec();
        const QList<qint64> pids = withDescendants(helper.processId());
        rssHelper += double(statusKb(helper.processId(), "VmRSS:")) / 1024;
        for (const qint64 pid : pids) {
            rssAll += double(statusKb(pid, "VmRSS:")) / 1024;
            pssAll += double(statusKb(pid, "Pss:", "smaps_rollup")) / 1024;
        }
        processes += double(pids.size());
        helper.stop();
        QEventLoop end;
        QObject::connect(&helper, &WebHelperProcess::ended, &end, &QEventLoop::quit);
        if (!helper.hasEnded()) {
            end.exec();
        }
    }
    const double n = double(state.iterations());
    state.counters["shown_ms"] = shown / n;
    state.counters["loaded_ms"] = loaded / n;
    state.counters["helper_rss_MB"] = rssHelper / n;
    state.counters["all_rss_MB"] = rssAll / n;
    state.counters["all_pss_MB"] = pssAll / n;
    state.counters["processes"] = processes / n;
}
BENCHMARK(BM_WebHelperStartToFirstPaint)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
