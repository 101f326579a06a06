// A picture of the export dialog with the sample day and an AI summary, for the README: saved as
// $PENDLOW_SCREENSHOT_DIR/export.png (scripts/screenshot-export.sh). Without the variable it only
// checks that the dialog renders.
#include "support/ExportSamples.h"
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"
#include "support/UsageSamples.h"

#include "platform/KeychainItem.h"
#include "services/openai/OpenAIService.h"
#include "services/usage/ActivityGrouping.h"
#include "ui/reports/ExportView.h"

#include <QDir>
#include <QPointer>
#include <QSignalSpy>

class ExportScreenshotTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { usagesamples::pinZoneAndLocale(); }

    void rendersTheSampleDay() {
        const FakeClock clock(exportsamples::now());
        FakeHttpServer server;
        server.route("POST", QStringLiteral("/v1/chat/completions"),
                     FakeHttpServer::Response::json(
                         j("{'choices':[{'message':{'role':'assistant','content':'I started the day in the "
                           "editor on main.cpp for task 86c1 and reviewed pull request #12 before ten. After "
                           "a short break I cleaned up the build in the terminal, and since noon I have been "
                           "in Slack for task 86c2. About 81% of the time was tracked.'}}]}")));
        TestSettings settings;
        InMemoryKeychain keychain;
        keychain.putItem(KeychainItem::openAIAPIToken, onHeap(u"sk-screenshot"));
        QUrl base = server.baseUrl();
        base.setPath(QStringLiteral("/v1"));
        OpenAIService openAI(keychain, settings, base);
        const ActivityGrouping grouping(settings);

        QWidget window;
        window.resize(760, 720);
        window.show();
        QPointer<ExportView> dialog = new ExportView(exportsamples::day(), openAI, grouping, &window);
        QSignalSpy checked(dialog.data(), &ExportView::openAIConfigurationChecked);
        dialog->open();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.data()));
        QVERIFY(!checked.isEmpty() || checked.wait(5000));
        QSignalSpy finished(dialog.data(), &ExportView::aiSummaryFinished);
        dialog->generateAISummary();
        QVERIFY(finished.wait(5000));
        QTest::qWait(100);

        const QImage image = dialog->grab().toImage();
        QVERIFY(!image.isNull());
        const QString dir = qEnvironmentVariable("PENDLOW_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            const QString path = dir + "/export.png";
            QVERIFY(image.save(path));
            qInfo("saved %s", qPrintable(path));
        }
        delete dialog.data();
    }
};

PENDLOW_TEST_MAIN(ExportScreenshotTest)
#include "tst_ExportScreenshot.moc"
