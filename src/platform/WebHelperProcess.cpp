#include "platform/WebHelperProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

WebHelperProcess::WebHelperProcess(QObject* parent)
    : QObject(parent) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(stopGraceMs);
    connect(&m_killTimer, &QTimer::timeout, this, [this] { m_process.kill(); });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &WebHelperProcess::readLines);
    connect(&m_process, &QProcess::started, this, [this] { m_processId = m_process.processId(); });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_failedToStart = true;
            m_errorText = m_process.errorString();
            markEnded();
        }
    });
    connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        readLines();
        m_exitCode = exitCode;
        m_crashed = status == QProcess::CrashExit;
        markEnded();
    });
}

WebHelperProcess::~WebHelperProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.disconnect(this);
        m_process.terminate();
        if (!m_process.waitForFinished(stopGraceMs)) {
            m_process.kill();
            m_process.waitForFinished(1000);
        }
    }
}

QString WebHelperProcess::defaultProgram() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("pendlow-web"));
}

bool WebHelperProcess::isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

void WebHelperProcess::start(const QString& program, const QStringList& arguments) {
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable()) {
        m_failedToStart = true;
        m_errorText = QStringLiteral("%1 is missing or not executable").arg(program);
        // Reported from the event loop, as a failed start of QProcess is.
        QMetaObject::invokeMethod(this, &WebHelperProcess::markEnded, Qt::QueuedConnection);
        return;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (::geteuid() == 0) {
        // Chromium's sandbox refuses to run as root.
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    }
    m_process.setProcessEnvironment(environment);

    const pid_t parent = ::getpid();
    m_process.setChildProcessModifier([parent] {
        // The helper's window belongs to this process: it goes when we go, also after a crash.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(1);
        }
    });
    m_process.start(program, arguments, QIODevice::ReadOnly);
}

void WebHelperProcess::stop() {
    m_stopRequested = true;
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.terminate();
    m_killTimer.start();
}

bool WebHelperProcess::isRunning() const {
    return m_process.state() != QProcess::NotRunning;
}

void WebHelperProcess::readLines() {
    while (m_process.canReadLine()) {
        QByteArray line = m_process.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) {
            line.chop(1);
        }
        Q_EMIT lineReceived(line);
    }
}

void WebHelperProcess::markEnded() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_killTimer.stop();
    Q_EMIT ended();
}
