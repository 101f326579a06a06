// The log window: the lines and their source as its reader gives them, the reason when nothing can be
// read, Reload, and the whole path without a journal: a line Pendlow logs to a standard error that
// is a file shows in the window.
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/Log.h"
#include "core/SystemJournal.h"
#include "platform/RecentLogReader.h"
#include "ui/settings/LogWindow.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUuid>

#include <fcntl.h>
#include <unistd.h>

class LogWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsLinesAndReloads();
    void showsWhyNothingCanBeRead();
    void showsWhatPendlowLoggedToStandardError();
};

void LogWindowTest::showsLinesAndReloads() {
    QStringList lines{onHeap(u"info [General] Pendlow started")};
    LogWindow window([&lines] { return LogExcerpt{onHeap(u"standard error: /tmp/x.log"), lines, {}}; });
    window.present();
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), QStringLiteral("Pendlow Log"));
    QCOMPARE(window.sourceText(), QStringLiteral("standard error: /tmp/x.log"));
    QCOMPARE(window.logText(), QStringLiteral("info [General] Pendlow started"));
    QVERIFY(window.findChild<QPlainTextEdit*>(QStringLiteral("logText"))->isReadOnly());

    lines.append(onHeap(u"error [API] Request failed"));
    window.findChild<QPushButton*>(QStringLiteral("reloadButton"))->click();
    QCOMPARE(window.logText(), QStringLiteral("info [General] Pendlow started\nerror [API] Request failed"));

    lines.clear();
    window.reload();
    QCOMPARE(window.logText(), QStringLiteral("Pendlow has logged nothing here yet."));
}

void LogWindowTest::showsWhyNothingCanBeRead() {
    LogWindow window([] {
        return LogExcerpt{onHeap(u"standard error"), {}, onHeap(u"It went to a terminal.")};
    });
    window.reload();
    QCOMPARE(window.logText(), QStringLiteral("It went to a terminal."));
}

void LogWindowTest::showsWhatPendlowLoggedToStandardError() {
    if (SystemJournal::isAvailable()) {
        QSKIP("A journal runs here: the window reads the journal instead.");
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("session.log"));
    const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(file >= 0);
    const int saved = ::dup(2);
    ::dup2(file, 2);
    ::close(file);
    const QString marker = QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::fputs("another program's line\n", stderr);
    Log::error(QStringLiteral("Marker ") + marker, Log::Category::ui);
    const QString target = RecentLogReader::standardErrorFile();
    ::dup2(saved, 2);
    ::close(saved);
    QCOMPARE(target, path);

    // Standard error is back on the terminal; the reader is pointed at the file it went to.
    LogWindow window([&path] { return RecentLogReader::readStandardErrorFile(path, 100); });
    window.reload();
    QCOMPARE(window.sourceText(), QStringLiteral("standard error: ") + path);
    QCOMPARE(window.logText(), QStringLiteral("error [UI] Marker ") + marker);
}

PENDLOW_TEST_MAIN(LogWindowTest)
#include "tst_LogWindow.moc"
