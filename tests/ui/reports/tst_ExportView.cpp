// The export dialog: closing, the format picker and preview, "Copy All" and the quick copies on the
// real clipboard ("Copied!" only once the clipboard holds the text), and the AI summary against a
// loopback OpenAI.
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
#include "services/reports/UsageExport.h"
#include "services/usage/ActivityGrouping.h"
#include "ui/reports/ExportView.h"
#include "ui/reports/QuickCopyButton.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

namespace {
const QString completions = QStringLiteral("/v1/chat/completions");
using Builder = QString (UsageExport::*)(const DailyUsageSummary&) const;

QString clipboardText() {
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

// A clipboard that refuses every text, as one whose selection another client keeps.
class RefusingClipboard : public ExportClipboard {
public:
    bool putText(const QString& text) override {
        offered.append(text);
        return false;
    }
    QStringList offered;
};

QByteArray chatReply(const QString& content) {
    const QJsonObject message{{QStringLiteral("role"), QStringLiteral("assistant")},
                              {QStringLiteral("content"), content}};
    const QJsonObject choice{{QStringLiteral("index"), 0}, {QStringLiteral("message"), message}};
    return QJsonDocument(QJsonObject{{QStringLiteral("choices"), QJsonArray{choice}}}).toJson();
}

struct Rig {
    FakeClock clock{exportsamples::now()};
    FakeHttpServer server;
    TestSettings settings;
    InMemoryKeychain keychain;
    OpenAIService openAI{keychain, settings, base(server)};
    ActivityGrouping grouping{settings};
    QWidget window;
    QPointer<ExportView> dialog;

    explicit Rig(bool withKey = true) {
        if (withKey) {
            keychain.putItem(KeychainItem::openAIAPIToken, onHeap(u"sk-export-1"));
        }
        window.resize(700, 500);
        dialog = new ExportView(exportsamples::day(), openAI, grouping, &window);
    }

    ~Rig() { delete dialog.data(); }

    // Shows the dialog and waits for the answer of its key check.
    bool open() {
        QSignalSpy checked(dialog.data(), &ExportView::openAIConfigurationChecked);
        window.show();
        dialog->open();
        // The in-memory keychain answers at once, so the answer may come before the wait.
        return QTest::qWaitForWindowExposed(dialog.data()) && (!checked.isEmpty() || checked.wait(5000));
    }

    static QUrl base(const FakeHttpServer& server) {
        QUrl url = server.baseUrl();
        url.setPath(QStringLiteral("/v1"));
        return url;
    }
};
} // namespace

Q_DECLARE_METATYPE(Builder)

class ExportViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { usagesamples::pinZoneAndLocale(); }

    void closes_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Esc") << true;
        QTest::newRow("close button") << false;
    }

    // Window-modal over its window; Esc and the window's close button close it, and it goes.
    void closes() {
        QFETCH(bool, escape);
        Rig rig;
        QVERIFY(rig.open());
        QCOMPARE(rig.dialog->windowModality(), Qt::WindowModal);
        QVERIFY(rig.dialog->isVisible());
        if (escape) {
            QTest::keyClick(rig.dialog.data(), Qt::Key_Escape);
        } else {
            QVERIFY(rig.dialog->close());
        }
        QTRY_VERIFY(rig.dialog.isNull());
    }

    void formatPickerAndPreview() {
        Rig rig;
        QVERIFY(rig.open());
        const DailyUsageSummary day = exportsamples::day();
        QStringList labels;
        for (ExportFormat format : allExportFormats()) {
            labels << rig.dialog->formatButton(format)->text();
        }
        QCOMPARE(labels, (QStringList{"Markdown", "Plain Text", "CSV"}));
        QCOMPARE(rig.dialog->exportFormat(), ExportFormat::markdown);
        QVERIFY(rig.dialog->formatButton(ExportFormat::markdown)->isChecked());
        QCOMPARE(rig.dialog->preview()->toPlainText(),
                 rig.grouping.generateMarkdownReport(day.date, day.sessions));

        QTest::mouseClick(rig.dialog->formatButton(ExportFormat::plainText), Qt::LeftButton);
        QCOMPARE(rig.dialog->exportFormat(), ExportFormat::plainText);
        QCOMPARE(rig.dialog->preview()->toPlainText(), day.generateTextReport(rig.grouping));

        QTest::mouseClick(rig.dialog->formatButton(ExportFormat::csv), Qt::LeftButton);
        QVERIFY(rig.dialog->formatButton(ExportFormat::csv)->isChecked());
        QVERIFY(!rig.dialog->formatButton(ExportFormat::markdown)->isChecked());
        QCOMPARE(rig.dialog->preview()->toPlainText(),
                 QString::fromUtf8(fixtureOf("services/reports", "day.csv")));
    }

    // A filtered summary exports the sessions it kept only.
    void filteredSummary() {
        Rig rig;
        delete rig.dialog.data();
        const DailyUsageSummary filtered = exportsamples::day().withTimeFilter(
            usagesamples::at(QStringLiteral("10:20")), usagesamples::at(QStringLiteral("11:10")));
        rig.dialog = new ExportView(filtered, rig.openAI, rig.grouping, &rig.window);
        rig.dialog->setExportFormat(ExportFormat::csv);
        const QStringList rows = rig.dialog->preview()->toPlainText().split(u'\n');
        QCOMPARE(rows.size(), 3); // the header, one row, and the empty text after the last line feed
        QVERIFY(rows[1].startsWith(u"2025-03-14,10:30,11:00,30,Terminal,"));
    }

    // "Copied!" shows once the clipboard holds the text, keeps the button disabled for two seconds,
    // and outlasts a change of format, which changes the preview at once.
    void copyAll() {
        Rig rig;
        QVERIFY(rig.open());
        rig.dialog->setExportFormat(ExportFormat::csv);
        QPushButton* button = rig.dialog->copyAllButton();
        QCOMPARE(button->text(), QStringLiteral("Copy All"));
        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clipboardText(), QString::fromUtf8(fixtureOf("services/reports", "day.csv")));
        QCOMPARE(button->text(), QStringLiteral("Copied!"));
        QVERIFY(!button->isEnabled());

        QTest::mouseClick(rig.dialog->formatButton(ExportFormat::plainText), Qt::LeftButton);
        QVERIFY(rig.dialog->preview()->toPlainText().startsWith(u"APP USAGE REPORT\n"));
        QCOMPARE(button->text(), QStringLiteral("Copied!"));

        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Copy All"), 5000);
        QVERIFY2(elapsed.elapsed() >= 1800, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(clipboardText().startsWith(u"APP USAGE REPORT\n"));
    }

    void quickCopies_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<Builder>("builder");
        QTest::newRow("timeline") << "Timeline Only" << Builder(&UsageExport::timelineText);
        QTest::newRow("tasks") << "Tasks Only" << Builder(&UsageExport::byTaskText);
        QTest::newRow("summary") << "Summary Only" << Builder(&UsageExport::summaryText);
    }

    // Each quick copy puts its own text on the clipboard and keeps its own feedback, 1.5 s long.
    void quickCopies() {
        QFETCH(QString, title);
        QFETCH(Builder, builder);
        Rig rig;
        QVERIFY(rig.open());
        QuickCopyButton* button = rig.dialog->quickCopyButton(title);
        QVERIFY(button);
        QCOMPARE(button->text(), title);
        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clipboardText(), (UsageExport(rig.grouping).*builder)(exportsamples::day()));
        QCOMPARE(button->text(), QStringLiteral("Copied!"));
        QVERIFY(!button->isEnabled());
        for (const QString& other : {QStringLiteral("Timeline Only"), QStringLiteral("Tasks Only"),
                                     QStringLiteral("Summary Only")}) {
            if (other != title) {
                QCOMPARE(rig.dialog->quickCopyButton(other)->text(), other);
            }
        }
        QCOMPARE(rig.dialog->copyAllButton()->text(), QStringLiteral("Copy All"));
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), title, 5000);
        QVERIFY2(elapsed.elapsed() >= 1300, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(button->isEnabled());
    }

    // A clipboard that did not take the text shows no "Copied!": the buttons stay as they were.
    void refusedCopyShowsNoFeedback() {
        Rig rig;
        RefusingClipboard clipboard;
        rig.dialog->setClipboard(clipboard);
        QVERIFY(rig.open());
        QTest::mouseClick(rig.dialog->copyAllButton(), Qt::LeftButton);
        QTest::mouseClick(rig.dialog->quickCopyButton(QStringLiteral("Tasks Only")), Qt::LeftButton);
        QCOMPARE(clipboard.offered.size(), 2);
        QVERIFY(clipboard.offered[0].startsWith(u"# App Usage Report\n"));
        QVERIFY(clipboard.offered[1].startsWith(u"BY TASK - 14 March 2025\n"));
        QCOMPARE(rig.dialog->copyAllButton()->text(), QStringLiteral("Copy All"));
        QVERIFY(rig.dialog->copyAllButton()->isEnabled());
        QCOMPARE(rig.dialog->quickCopyButton(QStringLiteral("Tasks Only"))->text(),
                 QStringLiteral("Tasks Only"));
        QVERIFY(!rig.dialog->isShowingCopiedFeedback());
    }

    // Without a stored key the AI section is the configuration message alone, and nothing is sent.
    void aiWithoutKey() {
        Rig rig(false);
        QVERIFY(rig.open());
        QVERIFY(!rig.dialog->isOpenAIConfigured());
        QVERIFY(rig.dialog->configurationMessage()->isVisible());
        QVERIFY(!rig.dialog->generateButton()->isVisible());
        QCOMPARE(rig.server.requestCount(), 0);
    }

    // The day's Markdown report goes to OpenAI; the summary shows with its copy button. A second
    // request that fails shows the error and keeps the earlier summary; the button is enabled again.
    void aiSummary() {
        Rig rig;
        FakeHttpServer::Response first =
            FakeHttpServer::Response::json(chatReply(onHeap(u"I spent the morning coding.")));
        first.delayMs = 300;
        rig.server.route("POST", completions, first);
        QVERIFY(rig.open());
        QVERIFY(rig.dialog->isOpenAIConfigured());
        QVERIFY(!rig.dialog->configurationMessage()->isVisible());
        QVERIFY(rig.dialog->generateButton()->isVisible());
        QCOMPARE(rig.dialog->generateButtonText(), QStringLiteral("Generate AI Summary"));
        QVERIFY(!rig.dialog->quickCopyButton(QStringLiteral("Copy AI Summary"))->isVisible());

        QSignalSpy finished(rig.dialog.data(), &ExportView::aiSummaryFinished);
        QTest::mouseClick(rig.dialog->generateButton(), Qt::LeftButton);
        QCOMPARE(rig.dialog->generateButtonText(), QStringLiteral("Generating..."));
        QVERIFY(!rig.dialog->generateButton()->isEnabled());
        rig.dialog->generateAISummary(); // ignored while the first runs
        QVERIFY(finished.wait(5000));
        QCOMPARE(rig.server.requestCount(), 1);
        const DailyUsageSummary day = exportsamples::day();
        const QJsonArray messages = QJsonDocument::fromJson(rig.server.requests().first().body)
                                        .object()
                                        .value(QStringLiteral("messages"))
                                        .toArray();
        QCOMPARE(messages.at(1).toObject().value(QStringLiteral("content")).toString(),
                 OpenAIService::summaryUserPrefix +
                     rig.grouping.generateMarkdownReport(day.date, day.sessions));

        QCOMPARE(rig.dialog->aiSummary(),
                 std::optional<QString>(QStringLiteral("I spent the morning coding.")));
        QCOMPARE(rig.dialog->aiSummaryView()->toPlainText(), QStringLiteral("I spent the morning coding."));
        QVERIFY(rig.dialog->aiSummaryView()->isVisible());
        QVERIFY(rig.dialog->aiSummaryView()->maximumHeight() <= 120);
        QVERIFY(!rig.dialog->aiErrorRow()->isVisible());
        QCOMPARE(rig.dialog->generateButtonText(), QStringLiteral("Generate AI Summary"));
        QuickCopyButton* copy = rig.dialog->quickCopyButton(QStringLiteral("Copy AI Summary"));
        QVERIFY(copy->isVisible());
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(clipboardText(), QStringLiteral("I spent the morning coding."));
        QCOMPARE(copy->text(), QStringLiteral("Copied!"));

        rig.server.route(
            "POST", completions,
            FakeHttpServer::Response::json(j("{'error':{'message':'The server had an error'}}"), 500));
        QTest::mouseClick(rig.dialog->generateButton(), Qt::LeftButton);
        QVERIFY(rig.dialog->aiSummaryView()->isVisible());
        QVERIFY(finished.wait(5000));
        QCOMPARE(rig.dialog->aiError(),
                 std::optional<QString>(QStringLiteral("OpenAI API error: The server had an error")));
        QVERIFY(rig.dialog->aiErrorRow()->isVisible());
        QCOMPARE(rig.dialog->aiSummaryView()->toPlainText(), QStringLiteral("I spent the morning coding."));
        QVERIFY(rig.dialog->aiSummaryView()->isVisible());
        QVERIFY(rig.dialog->generateButton()->isEnabled());
        QVERIFY(!rig.dialog->isGeneratingAISummary());
    }

    // A request still under way when the dialog closes ends without touching the dialog.
    void closingWhileGenerating() {
        Rig rig;
        FakeHttpServer::Response slow = FakeHttpServer::Response::json(chatReply(onHeap(u"late")));
        slow.delayMs = 300;
        rig.server.route("POST", completions, slow);
        QVERIFY(rig.open());
        QTest::mouseClick(rig.dialog->generateButton(), Qt::LeftButton);
        QVERIFY(rig.server.waitForRequests(1));
        QVERIFY(rig.dialog->close());
        QTRY_VERIFY(rig.dialog.isNull());
        QTest::qWait(600);
        QCOMPARE(rig.server.requestCount(), 1);
    }
};

PENDLOW_TEST_MAIN(ExportViewTest)
#include "tst_ExportView.moc"
