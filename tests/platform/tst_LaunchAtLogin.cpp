// Starting at login through the autostart entry: where it lives, the Exec= value for paths that need
// quoting, when an entry counts as on, and switching on and off on disk.
#include "support/TestMain.h"

#include "platform/LaunchAtLogin.h"
#include "platform/LaunchAtLoginError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
QString read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}
} // namespace

class LaunchAtLoginTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entryInTheUsersAutostartFolder();
    void execValue_data();
    void execValue();
    void isEnabled_data();
    void isEnabled();
    void switchingOnAndOff();
    void failureToWrite();
};

void LaunchAtLoginTest::entryInTheUsersAutostartFolder() {
    const LaunchAtLogin launch;
    QCOMPARE(launch.entryPath(),
             qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/pendlow.desktop"));
    QCOMPARE(launch.executable(), QCoreApplication::applicationFilePath());
    QVERIFY(QFileInfo(launch.executable()).isAbsolute());
}

void LaunchAtLoginTest::execValue_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << "/usr/bin/pendlow"
                           << "/usr/bin/pendlow";
    QTest::newRow("a space") << "/opt/My Apps/pendlow"
                             << "\"/opt/My Apps/pendlow\"";
    QTest::newRow("a dollar") << "/opt/a$b/pendlow"
                              << "\"/opt/a\\\\$b/pendlow\"";
    QTest::newRow("a quote") << "/opt/say \"hi\"/pendlow"
                             << "\"/opt/say \\\\\"hi\\\\\"/pendlow\"";
    QTest::newRow("a percent") << "/opt/100%/pendlow"
                               << "/opt/100%%/pendlow";
}

void LaunchAtLoginTest::execValue() {
    QFETCH(QString, path);
    QFETCH(QString, exec);
    QCOMPARE(LaunchAtLogin::execValue(path), exec);
}

void LaunchAtLoginTest::isEnabled_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("no entry") << QByteArray() << false;
    QTest::newRow("an entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=/usr/bin/pendlow\n")
                              << true;
    QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nExec=/usr/bin/pendlow\nHidden=true\n") << false;
    QTest::newRow("turned off by GNOME")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/pendlow\nX-GNOME-Autostart-enabled=false\n") << false;
    QTest::newRow("hidden in another group")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/pendlow\n[Desktop Action quit]\nHidden=true\n") << true;
    QTest::newRow("not a desktop entry") << QByteArray("Exec=/usr/bin/pendlow\n") << false;
}

void LaunchAtLoginTest::isEnabled() {
    QFETCH(QByteArray, content);
    QFETCH(bool, enabled);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("autostart/pendlow.desktop"));
    if (!content.isEmpty()) {
        write(path, content);
    }
    QCOMPARE(LaunchAtLogin(path, QStringLiteral("/usr/bin/pendlow")).isEnabled(), enabled);
}

void LaunchAtLoginTest::switchingOnAndOff() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("config/autostart/pendlow.desktop"));
    LaunchAtLogin launch(path, QStringLiteral("/opt/Pendlow Test/pendlow"));
    write(path, "[Desktop Entry]\nExec=/old/pendlow\nHidden=true\n");
    QVERIFY(!launch.isEnabled());

    launch.setEnabled(true);
    QVERIFY(launch.isEnabled());
    const QString text = read(path);
    QVERIFY(text.contains(QStringLiteral("\nExec=\"/opt/Pendlow Test/pendlow\"\n")));
    QVERIFY(!text.contains(QStringLiteral("Hidden")));
    QVERIFY(!text.contains(QStringLiteral("/old/pendlow")));

    launch.setEnabled(false);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!launch.isEnabled());
    // Off again: nothing to remove, no failure.
    launch.setEnabled(false);
}

void LaunchAtLoginTest::failureToWrite() {
    LaunchAtLogin launch(QStringLiteral("/proc/self/fdinfo/autostart/pendlow.desktop"),
                         QStringLiteral("/usr/bin/pendlow"));
    QVERIFY_THROWS_EXCEPTION(LaunchAtLoginError, launch.setEnabled(true));
    QVERIFY(!launch.isEnabled());
    LaunchAtLogin lineBreak(QDir::tempPath() + QStringLiteral("/pendlow-never/pendlow.desktop"),
                            QStringLiteral("/usr/bin/pend\nlow"));
    QVERIFY_THROWS_EXCEPTION(LaunchAtLoginError, lineBreak.setEnabled(true));
}

PENDLOW_TEST_MAIN(LaunchAtLoginTest)
#include "tst_LaunchAtLogin.moc"
