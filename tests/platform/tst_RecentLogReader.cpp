// Reading Pendlow's log back: only its own lines of a shared session log, the newest kept when there
// are more than asked for, an unreadable file, an empty journal folder, and the system journal when
// one runs.
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/Log.h"
#include "core/SystemJournal.h"
#include "platform/RecentLogReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

class RecentLogReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void standardErrorFileKeepsOwnLines();
    void unreadableFile();
    void emptyJournalFolder();
    void systemJournalRoundTrip();
};

void RecentLogReaderTest::standardErrorFileKeepsOwnLines() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral(".xsession-errors"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("(gnome-shell:12): Gtk-WARNING **: something\n"
               "info [General] one\n"
               "debug [API] two\n"
               "information [General] not ours\n"
               "notice [Storage] three\n"
               "📊 [AppUsageTracking] Started session: Firefox\n"
               "error [UI] four");
    file.close();

    const LogExcerpt all = RecentLogReader::readStandardErrorFile(path, 100);
    QCOMPARE(all.source, QStringLiteral("standard error: ") + path);
    QVERIFY(all.problem.isEmpty());
    QCOMPARE(all.lines, (QStringList{QStringLiteral("info [General] one"), QStringLiteral("debug [API] two"),
                                     QStringLiteral("notice [Storage] three"),
                                     QStringLiteral("📊 [AppUsageTracking] Started session: Firefox"),
                                     QStringLiteral("error [UI] four")}));

    const LogExcerpt newest = RecentLogReader::readStandardErrorFile(path, 2);
    QCOMPARE(newest.lines, (QStringList{QStringLiteral("📊 [AppUsageTracking] Started session: Firefox"),
                                        QStringLiteral("error [UI] four")}));
}

void RecentLogReaderTest::unreadableFile() {
    const LogExcerpt excerpt =
        RecentLogReader::readStandardErrorFile(QStringLiteral("/nonexistent/pendlow.log"), 10);
    QVERIFY(excerpt.lines.isEmpty());
    QVERIFY(excerpt.problem.startsWith(QStringLiteral("/nonexistent/pendlow.log cannot be read")));
}

void RecentLogReaderTest::emptyJournalFolder() {
    QTemporaryDir folder;
    const LogExcerpt excerpt = RecentLogReader::readJournal(10, folder.path());
    QVERIFY2(excerpt.problem.isEmpty(), qPrintable(excerpt.problem));
    QVERIFY(excerpt.lines.isEmpty());
    QCOMPARE(excerpt.source, QStringLiteral("systemd journal (SYSLOG_IDENTIFIER=pendlow)"));
}

void RecentLogReaderTest::systemJournalRoundTrip() {
    if (!SystemJournal::isAvailable()) {
        QSKIP("No systemd journal runs here.");
    }
    const QString marker = QUuid::createUuid().toString(QUuid::WithoutBraces);
    Log::error(QStringLiteral("Journal marker ") + marker, Log::Category::general);
    // The journal writes asynchronously.
    QTRY_VERIFY_WITH_TIMEOUT(RecentLogReader::read(50).lines.join(u'\n').contains(marker), 5000);
    const QString last = RecentLogReader::read(50).lines.last();
    QVERIFY2(last.endsWith(QStringLiteral(" error [General] Journal marker ") + marker), qPrintable(last));
}

PENDLOW_TEST_MAIN(RecentLogReaderTest)
#include "tst_RecentLogReader.moc"
