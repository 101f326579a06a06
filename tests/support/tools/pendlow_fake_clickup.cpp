// A loopback ClickUp for the system tests of the real binary.
//   pendlow-fake-clickup --port-file FILE --log FILE [--no-timer] [--entries N]
// Listens on 127.0.0.1 (a free port, written to the port file once it listens) and serves the
// current-timer, start, stop and time-entry requests under "/api/v2": a timer on "Write report"
// that started 25 minutes before launch (none with --no-timer) and two finished entries of today
// (with --entries, N entries of two minutes each on as many tasks, from just after midnight on).
// Each request is appended to the log as one line: "<METHOD> <target> auth=<yes|no>".
#include "support/FakeClickUpServer.h"

#include "core/Clock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption portFileOption(
        QStringLiteral("port-file"), QStringLiteral("Where to write the port."), QStringLiteral("file"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Request log."),
                                       QStringLiteral("file"));
    const QCommandLineOption noTimerOption(QStringLiteral("no-timer"), QStringLiteral("No timer runs."));
    parser.addOption(portFileOption);
    parser.addOption(logOption);
    const QCommandLineOption entriesOption(
        QStringLiteral("entries"), QStringLiteral("Number of today's entries."), QStringLiteral("count"));
    parser.addOption(noTimerOption);
    parser.addOption(entriesOption);
    parser.process(app);
    if (!parser.isSet(portFileOption) || !parser.isSet(logOption)) {
        std::fputs("usage: pendlow-fake-clickup --port-file FILE --log FILE [--no-timer] [--entries N]\n",
                   stderr);
        return 2;
    }

    QFile log(parser.value(logOption));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        std::fprintf(stderr, "cannot open the request log: %s\n", qPrintable(log.errorString()));
        return 1;
    }

    FakeClickUpServer server;
    const qint64 now = Clock::nowMSecs();
    if (!parser.isSet(noTimerOption)) {
        server.runningTimer =
            FakeClickUpServer::timerJson(QStringLiteral("4211094917234000001"), QStringLiteral("86c0run"),
                                         QStringLiteral("Write report"), now - 25 * 60 * 1000);
    }
    const qint64 midnight = Clock::now().date().startOfDay().toMSecsSinceEpoch();
    if (parser.isSet(entriesOption)) {
        const int count = parser.value(entriesOption).toInt();
        for (int i = 0; i < count; ++i) {
            server.timeEntries.append(FakeClickUpServer::timeEntryJson(
                QStringLiteral("42110949172350%1").arg(i, 5, 10, QLatin1Char('0')),
                QStringLiteral("86c1%1").arg(i, 3, 10, QLatin1Char('0')),
                QStringLiteral("Task %1 of the day's work").arg(i + 1), midnight + (60 + i * 120) * 1000,
                120 * 1000));
        }
    } else {
        server.timeEntries.append(FakeClickUpServer::timeEntryJson(
            QStringLiteral("4211094917234000002"), QStringLiteral("86c0abc"), QStringLiteral("Invoices"),
            midnight + 60 * 1000, 45 * 60 * 1000));
        server.timeEntries.append(FakeClickUpServer::timeEntryJson(
            QStringLiteral("4211094917234000003"), QStringLiteral("86c0def"), QStringLiteral("Code review"),
            midnight + 50 * 60 * 1000, 30 * 60 * 1000));
    }

    QObject::connect(&server.http(), &FakeHttpServer::requestReceived, &app,
                     [&log](const FakeHttpServer::Request& request) {
                         const QByteArray auth = request.header("authorization").isEmpty() ? "no" : "yes";
                         log.write(request.method + ' ' + request.target.toUtf8() + " auth=" + auth + '\n');
                         log.flush();
                     });

    QSaveFile portFile(parser.value(portFileOption));
    if (!portFile.open(QIODevice::WriteOnly) ||
        portFile.write(QByteArray::number(server.http().port()) + '\n') < 0 || !portFile.commit()) {
        std::fprintf(stderr, "cannot write the port file\n");
        return 1;
    }
    return app.exec();
}
