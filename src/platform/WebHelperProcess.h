#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QUrl>

// One run of the pendlow-web helper, seen from the tray process. The helper holds QtWebEngine, which
// the tray process never loads. It is started with an environment that lets QtWebEngine run as root
// (QTWEBENGINE_DISABLE_SANDBOX=1) and is told to end (SIGTERM) when the tray process goes away.
// Its standard output arrives line by line; its standard error goes to ours.
class WebHelperProcess : public QObject {
    Q_OBJECT

public:
    // Milliseconds between the request to end (SIGTERM) and the kill.
    static constexpr int stopGraceMs = 3000;

    explicit WebHelperProcess(QObject* parent = nullptr);
    // Ends a helper still running, waiting for it at most a few seconds.
    ~WebHelperProcess() override;

    // pendlow-web next to the running binary.
    static QString defaultProgram();
    // Whether an address may be handed to a browser: a valid http or https address with a host.
    static bool isWebAddress(const QUrl& url);

    // Starts the program; ended() follows, also when it cannot start.
    void start(const QString& program, const QStringList& arguments);
    // Asks the helper to end and kills it when it is still there after stopGraceMs.
    void stop();

    bool isRunning() const;
    bool hasEnded() const { return m_ended; }
    bool stopRequested() const { return m_stopRequested; }
    qint64 processId() const { return m_processId; }

    // After ended(): whether it could not be started at all, and why.
    bool failedToStart() const { return m_failedToStart; }
    QString errorText() const { return m_errorText; }
    // After ended(): the exit code, and whether it ended through a signal or a crash.
    int exitCode() const { return m_exitCode; }
    bool crashed() const { return m_crashed; }

Q_SIGNALS:
    // One line of the helper's standard output, without its line end.
    void lineReceived(const QByteArray& line);
    // Emitted once: the helper could not start, or it has ended.
    void ended();

private:
    void readLines();
    void markEnded();

    QProcess m_process;
    QTimer m_killTimer;
    qint64 m_processId = 0;
    bool m_ended = false;
    bool m_stopRequested = false;
    bool m_failedToStart = false;
    bool m_crashed = false;
    int m_exitCode = -1;
    QString m_errorText;
};
