// Pictures of every page of the settings window as the application builds it, for the README: saved
// as $PENDLOW_SCREENSHOT_DIR/settings-<label>.png (scripts/screenshot-settings.sh). Without the
// variable it only checks that every page renders at the window's size.
#include "support/AppRig.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "app/PendlowApp.h"
#include "platform/KeychainItem.h"
#include "services/AppState.h"
#include "ui/settings/SettingsPage.h"
#include "ui/settings/SettingsWindow.h"

#include <QDir>

#include <QTabWidget>
#include <algorithm>

class SettingsScreenshotTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rendersEveryPage() {
        AppRig rig;
        rig.keychain.putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_12345678_EXAMPLE"));
        rig.keychain.putItem(KeychainItem::toolsWSToken, QStringLiteral("0123456789abcdef"));
        rig.settings.setTeamId(QStringLiteral("9012345"));
        rig.settings.setToolsUrl(QStringLiteral("https://tools.example.com/"));
        rig.settings.setUserKey(QStringLiteral("jdoe-key"));
        rig.settings.setWorkingHoursEnabled(true);
        std::unique_ptr<PendlowApp> owned = rig.makeApp();
        PendlowApp& app = *owned;
        QVERIFY(awaitTask(app.appState().loadConfiguration()).finished);
        SettingsWindow& window = app.settingsWindow();
        window.present();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString dir = qEnvironmentVariable("PENDLOW_SCREENSHOT_DIR");
        for (int i = 0; i < window.tabs()->count(); ++i) {
            window.tabs()->setCurrentIndex(i);
            // The pages read the secret store as they are shown.
            QTest::qWait(150);
            const QImage image = window.grab().toImage();
            QVERIFY(!image.isNull());
            // 500 high, and as wide as the window: 500 or what its seven tabs need.
            QCOMPARE(image.size() / image.devicePixelRatio(), QSize(std::max(500, window.tabsWidth()), 500));
            if (!dir.isEmpty()) {
                QDir().mkpath(dir);
                const QString label = window.pages().at(i)->label().toLower();
                const QString path = dir + QStringLiteral("/settings-") + label + QStringLiteral(".png");
                QVERIFY(image.save(path));
                qInfo("saved %s", qPrintable(path));
            }
        }
    }
};

PENDLOW_TEST_MAIN(SettingsScreenshotTest)
#include "tst_SettingsScreenshot.moc"
