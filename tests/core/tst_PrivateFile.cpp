// Private data files: only regular files within the limit are read, never blocking on a FIFO or
// a device; writes land 0600 in 0700 folders and never through a link that leaves the folder.
#include "support/TestMain.h"

#include "core/PrivateFile.h"
#include "core/PrivateFileError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/types.h>

namespace {
mode_t modeOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return 0;
    }
    return status.st_mode & 07777;
}

PrivateFileError::Kind readFailure(const QString& path, qint64 limit) {
    try {
        PrivateFile::read(path, limit);
    } catch (const PrivateFileError& error) {
        return error.kind();
    }
    return PrivateFileError::Kind(-1);
}
} // namespace

class TestPrivateFile : public QObject {
    Q_OBJECT

private slots:
    void readsRegularFilesWithinTheLimit() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("day.json"));
        PrivateFile::write(path, QByteArray(100, 'x'));
        QCOMPARE(PrivateFile::read(path, 100), QByteArray(100, 'x'));
        QCOMPARE(readFailure(path, 99), PrivateFileError::Kind::tooLarge);
        QCOMPARE(readFailure(dir.filePath(QStringLiteral("missing.json")), 100),
                 PrivateFileError::Kind::unreadable);
    }

    void refusesWhatIsNotARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("link to /dev/zero") << QStringLiteral("device");
        QTest::newRow("folder") << QStringLiteral("folder");
    }
    void refusesWhatIsNotARegularFile() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("day.json"));
        if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == u"device") {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else {
            QVERIFY(QDir().mkdir(path));
        }
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(readFailure(path, 1 << 20), PrivateFileError::Kind::notRegular);
        QVERIFY(timer.elapsed() < 5000); // never blocks on the FIFO
    }

    void writesForTheUserAlone() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Pendlow/usage"));
        QVERIFY(PrivateFile::ensureFolder(folder));
        QCOMPARE(modeOf(folder), mode_t(0700));
        QCOMPARE(modeOf(dir.filePath(QStringLiteral("Pendlow"))), mode_t(0700));
        const QString path = folder + QStringLiteral("/day.json");
        PrivateFile::write(path, "{}");
        QCOMPARE(modeOf(path), mode_t(0600));

        // An existing file that others could read is tightened when written again.
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        PrivateFile::write(path, "{\"a\":1}");
        QCOMPARE(modeOf(path), mode_t(0600));
        QCOMPARE(PrivateFile::read(path, 100), QByteArray("{\"a\":1}"));
    }

    void neverWritesThroughALinkOutOfTheFolder() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("data"))));
        const QString outside = dir.filePath(QStringLiteral("outside.txt"));
        QFile target(outside);
        QVERIFY(target.open(QIODevice::WriteOnly));
        target.write("keep");
        target.close();
        const QString path = dir.filePath(QStringLiteral("data/day.json"));
        QVERIFY(QFile::link(outside, path));
        try {
            PrivateFile::write(path, "{}");
            QFAIL("the write went through the link");
        } catch (const PrivateFileError& error) {
            QCOMPARE(error.kind(), PrivateFileError::Kind::outsideFolder);
        }
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), QByteArray("keep"));

        // A link to a file beside it is written through.
        const QString inside = dir.filePath(QStringLiteral("data/real.json"));
        PrivateFile::write(inside, "old");
        const QString linked = dir.filePath(QStringLiteral("data/linked.json"));
        QVERIFY(QFile::link(inside, linked));
        PrivateFile::write(linked, "new");
        QCOMPARE(PrivateFile::read(inside, 100), QByteArray("new"));
        QVERIFY(QFileInfo(linked).isSymLink());
    }
};

PENDLOW_TEST_MAIN(TestPrivateFile)
#include "tst_PrivateFile.moc"
