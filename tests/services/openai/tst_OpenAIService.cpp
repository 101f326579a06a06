// The OpenAI client against a loopback server: the two request bodies, the key and the model it
// sends, every reply mapping, and the not-configured path that sends nothing.
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/DecodingError.h"
#include "core/TransportError.h"
#include "platform/KeychainItem.h"
#include "services/openai/OpenAIError.h"
#include "services/openai/OpenAIService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>

using namespace std::chrono_literals;

namespace {
const QString completions = QStringLiteral("/v1/chat/completions");

struct Rig {
    TestSettings settings;
    InMemoryKeychain keychain;
    OpenAIService service;

    explicit Rig(const FakeHttpServer& server)
        : service(keychain, settings, base(server)) {
        keychain.putItem(KeychainItem::openAIAPIToken, onHeap("sk-test-4711"));
    }

    static QUrl base(const FakeHttpServer& server) {
        QUrl url = server.baseUrl();
        url.setPath(QStringLiteral("/v1"));
        return url;
    }
};

QJsonObject message(const QString& role, const QString& content) {
    return QJsonObject{{QStringLiteral("role"), role}, {QStringLiteral("content"), content}};
}
} // namespace

class OpenAIServiceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void summaryRequest();
    void testRequestAndAnyBodyPasses();
    void model_data();
    void model();
    void notConfiguredSendsNothing_data();
    void notConfiguredSendsNothing();
    void errorMappings_data();
    void errorMappings();
    void summaryReplies_data();
    void summaryReplies();
    void overlongSummaryIsCapped();
    void unusableBaseAddress();
};

void OpenAIServiceTest::summaryRequest() {
    FakeHttpServer server;
    server.route("POST", completions,
                 FakeHttpServer::Response::json(
                     j("{'id':'c1','choices':[{'index':0,'message':{'role':'assistant',"
                       "'content':'I spent the morning...'},'finish_reason':'stop'}],"
                       "'usage':{'prompt_tokens':9,'completion_tokens':3,'total_tokens':12}}")));
    Rig rig(server);
    rig.keychain.putItem(KeychainItem::openAIAPIToken, onHeap("  sk-test-4711\n"));

    const QString report = onHeap("# Report\n- Editor: 2h");
    const auto outcome = awaitTask(rig.service.summarize(report));
    QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
    QCOMPARE(*outcome.value, QStringLiteral("I spent the morning..."));

    QCOMPARE(server.requestCount(), 1);
    const auto request = server.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, completions);
    QCOMPARE(request.header("authorization"), QByteArray("Bearer sk-test-4711"));
    QCOMPARE(request.header("content-type"), QByteArray("application/json"));
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    QCOMPARE(OpenAIService::summarySystemPrompt.size(), 543);
    QVERIFY(!OpenAIService::summarySystemPrompt.endsWith(u'\n'));
    QCOMPARE(OpenAIService::summarySystemPrompt.count(u'\n'), 10);
    const QJsonObject expected{
        {QStringLiteral("model"), QStringLiteral("gpt-4o-mini")},
        {QStringLiteral("messages"),
         QJsonArray{
             message(QStringLiteral("system"), OpenAIService::summarySystemPrompt),
             message(QStringLiteral("user"),
                     QStringLiteral("Please summarize this work activity report into a natural language "
                                    "narrative:\n\n# Report\n- Editor: 2h"))}},
        {QStringLiteral("temperature"), 0.7},
        {QStringLiteral("max_tokens"), 1000}};
    QCOMPARE(body, expected);
}

void OpenAIServiceTest::testRequestAndAnyBodyPasses() {
    FakeHttpServer server;
    server.route("POST", completions, FakeHttpServer::Response::empty(200));
    Rig rig(server);

    const auto outcome = awaitTask(rig.service.testConnection());
    QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
    const QJsonObject body = QJsonDocument::fromJson(server.requests().first().body).object();
    const QJsonObject expected{
        {QStringLiteral("model"), QStringLiteral("gpt-4o-mini")},
        {QStringLiteral("messages"), QJsonArray{message(QStringLiteral("user"), QStringLiteral("Say OK"))}},
        {QStringLiteral("temperature"), 0.0},
        {QStringLiteral("max_tokens"), 5}};
    QCOMPARE(body, expected);
}

void OpenAIServiceTest::model_data() {
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<QString>("sent");

    QTest::newRow("unset") << std::optional<QString>() << "gpt-4o-mini";
    QTest::newRow("empty") << std::optional<QString>(QString()) << "gpt-4o-mini";
    QTest::newRow("offered model") << std::optional<QString>(QStringLiteral("gpt-4o")) << "gpt-4o";
    QTest::newRow("unknown model sent as stored")
        << std::optional<QString>(QStringLiteral("o3-preview")) << "o3-preview";
}

void OpenAIServiceTest::model() {
    QFETCH(std::optional<QString>, stored);
    QFETCH(QString, sent);
    FakeHttpServer server;
    server.route("POST", completions, FakeHttpServer::Response::json("{}"));
    Rig rig(server);
    if (stored) {
        rig.settings.setOpenAIModel(*stored);
    }
    QVERIFY(!awaitTask(rig.service.testConnection()).failed());
    QCOMPARE(server.requests().first().jsonBody().value(QStringLiteral("model")).toString(), sent);
}

void OpenAIServiceTest::notConfiguredSendsNothing_data() {
    QTest::addColumn<std::optional<QString>>("key");
    QTest::addColumn<QString>("error");

    const QString missing = QStringLiteral("OpenAI API token is not configured. Add it in Settings.");
    QTest::newRow("no item") << std::optional<QString>() << missing;
    QTest::newRow("empty") << std::optional<QString>(QString()) << missing;
    QTest::newRow("blanks") << std::optional<QString>(QStringLiteral("  \t\n")) << missing;
    QTest::newRow("line break inside")
        << std::optional<QString>(QStringLiteral("sk-1\nX-Other: 1"))
        << QStringLiteral("OpenAI API token is invalid. Check your token in Settings.");
}

void OpenAIServiceTest::notConfiguredSendsNothing() {
    QFETCH(std::optional<QString>, key);
    QFETCH(QString, error);
    FakeHttpServer server;
    Rig rig(server);
    rig.keychain.removeItem(KeychainItem::openAIAPIToken);
    if (key) {
        rig.keychain.putItem(KeychainItem::openAIAPIToken, *key);
    }

    const auto configured = awaitTask(rig.service.isConfigured());
    QCOMPARE(*configured.value, key.has_value() && !key->trimmed().isEmpty());
    QCOMPARE(awaitTask(rig.service.summarize(onHeap("report"))).errorDescription(), error);
    QCOMPARE(awaitTask(rig.service.testConnection()).errorDescription(), error);
    QCOMPARE(server.requestCount(), 0);
}

void OpenAIServiceTest::errorMappings_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("error");

    const QByteArray errorObject =
        j("{'error':{'message':'The server had an error','type':'server_error','code':null}}");
    QTest::newRow("401 with error object") << 401 << j("{'error':{'message':'Incorrect API key'}}")
                                           << "OpenAI API token is invalid. Check your token in Settings.";
    QTest::newRow("429 with error object")
        << 429 << j("{'error':{'message':'Slow down'}}") << "Rate limited. Please try again later.";
    // The two 429s OpenAI documents: a rate limit passes, an exhausted quota never does by waiting.
    QTest::newRow("429 rate_limit_exceeded")
        << 429
        << j("{'error':{'message':'Rate limit reached for gpt-4o-mini','type':'requests','param':null,"
             "'code':'rate_limit_exceeded'}}")
        << "Rate limited. Please try again later.";
    QTest::newRow("429 insufficient_quota")
        << 429
        << j("{'error':{'message':'You exceeded your current quota, please check your plan and billing "
             "details.','type':'insufficient_quota','param':null,'code':'insufficient_quota'}}")
        << "The OpenAI account has no credit left: You exceeded your current quota, please check your "
           "plan and billing details.";
    QTest::newRow("429 without a body") << 429 << QByteArray() << "Rate limited. Please try again later.";
    QTest::newRow("500 with error object")
        << 500 << errorObject << "OpenAI API error: The server had an error";
    QTest::newRow("500 without error object")
        << 500 << QByteArray("<html>Bad gateway</html>") << "OpenAI API error (HTTP 500)";
    QTest::newRow("numeric code") << 503 << j("{'error':{'message':'Overloaded','code':503}}")
                                  << "OpenAI API error (HTTP 503)";
    QTest::newRow("400 with error object")
        << 400 << j("{'error':{'message':'Bad model','code':'model_not_found'}}")
        << "OpenAI API error: Bad model";
    QTest::newRow("redirect") << 307 << QByteArray() << "OpenAI API error (HTTP 307)";
}

void OpenAIServiceTest::errorMappings() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, error);
    FakeHttpServer server;
    FakeHttpServer::Response response = FakeHttpServer::Response::json(body, status);
    response.headers.append(
        qMakePair(QByteArray("Location"), QByteArray("https://elsewhere.invalid/v1/chat/completions")));
    server.route("POST", completions, response);
    Rig rig(server);
    LogCapture log(LogCapture::Verbosity::debug);

    const auto summary = awaitTask(rig.service.summarize(onHeap("report")));
    QVERIFY(summary.errorAs<OpenAIError>());
    QCOMPARE(summary.errorDescription(), error);
    QCOMPARE(awaitTask(rig.service.testConnection()).errorDescription(), error);
    QCOMPARE(server.requestCount(), 2);
    QVERIFY(!log.lines().join(u'\n').contains(QStringLiteral("sk-test-4711")));
}

void OpenAIServiceTest::summaryReplies_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("hang");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("error"); // empty: success

    QTest::newRow("empty content returned")
        << j("{'choices':[{'message':{'role':'assistant','content':''}}],'usage':null}") << false << ""
        << "";
    QTest::newRow("first choice wins") << j("{'choices':[{'message':{'role':'assistant','content':'one'}},{'"
                                            "message':{'role':'assistant','content':'two'}}]}")
                                       << false << "one"
                                       << "";
    QTest::newRow("no choices") << j("{'choices':[]}") << false << ""
                                << "OpenAI returned an empty response.";
    QTest::newRow("choice without message") << j("{'choices':[{'finish_reason':'stop'}]}") << false << ""
                                            << "<decoding>";
    QTest::newRow("garbage") << QByteArray("\x89PNG garbage") << false << ""
                             << "<decoding>";
    QTest::newRow("usage incomplete")
        << j("{'choices':[{'message':{'role':'a','content':'x'}}],'usage':{'total_tokens':1}}") << false << ""
        << "<decoding>";
    // A refusal comes with a null content: it is the answer, not a malformed reply.
    QTest::newRow("refusal")
        << j("{'choices':[{'message':{'role':'assistant','content':null,'refusal':'I cannot help with "
             "that.'},'finish_reason':'stop'}]}")
        << false << ""
        << "OpenAI declined to write the summary: I cannot help with that.";
    QTest::newRow("null content without refusal")
        << j("{'choices':[{'message':{'role':'assistant','content':null}}]}") << false << ""
        << "<decoding>";
    QTest::newRow("cut at the token limit")
        << j("{'choices':[{'message':{'role':'assistant','content':'I spent the morning'},"
             "'finish_reason':'length'}]}")
        << false << QString(QStringLiteral("I spent the morning") + OpenAIService::summaryCutMark) << "";
    QTest::newRow("complete") << j("{'choices':[{'message':{'role':'assistant','content':'All done.'},"
                                   "'finish_reason':'stop'}]}")
                              << false << "All done."
                              << "";
    QTest::newRow("no answer") << QByteArray() << true << ""
                               << "The request timed out.";
}

void OpenAIServiceTest::summaryReplies() {
    QFETCH(QByteArray, body);
    QFETCH(bool, hang);
    QFETCH(QString, summary);
    QFETCH(QString, error);
    FakeHttpServer server;
    FakeHttpServer::Response response = FakeHttpServer::Response::json(body);
    response.hang = hang;
    server.route("POST", completions, response);
    Rig rig(server);
    rig.service.setTimeout(300ms);

    const auto outcome = awaitTask(rig.service.summarize(onHeap("report")));
    if (error.isEmpty()) {
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(*outcome.value, summary);
    } else if (error == QStringLiteral("<decoding>")) {
        QVERIFY2(outcome.errorAs<DecodingError>(), qPrintable(outcome.errorDescription()));
    } else {
        QCOMPARE(outcome.errorDescription(), error);
        if (hang) {
            QVERIFY(outcome.errorAs<TransportError>()->isTimeout());
        }
    }
}

// One unbroken run far longer than any summary asked for: cut, at a character boundary, and marked.
void OpenAIServiceTest::overlongSummaryIsCapped() {
    const qsizetype limit = OpenAIService::maxSummaryLength;
    // The limit falls between the two halves of an emoji.
    const QString run =
        QString(limit - 1, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80") + QString(1000, u'y');
    const QJsonObject reply{
        {QStringLiteral("choices"),
         QJsonArray{QJsonObject{{QStringLiteral("message"), message(QStringLiteral("assistant"), run)},
                                {QStringLiteral("finish_reason"), QStringLiteral("length")}}}}};
    FakeHttpServer server;
    server.route("POST", completions,
                 FakeHttpServer::Response::json(QJsonDocument(reply).toJson(QJsonDocument::Compact)));
    Rig rig(server);

    const auto outcome = awaitTask(rig.service.summarize(onHeap("report")));
    QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
    QCOMPARE(*outcome.value, QString(limit - 1, u'x') + OpenAIService::summaryCappedMark);

    const QString shortText = onHeap("fits");
    QCOMPARE(OpenAIService::boundedSummary(shortText, false), shortText);
    const QString exact(limit, u'z');
    QCOMPARE(OpenAIService::boundedSummary(exact, false), exact);
}

void OpenAIServiceTest::unusableBaseAddress() {
    TestSettings settings;
    InMemoryKeychain keychain;
    keychain.putItem(KeychainItem::openAIAPIToken, onHeap("sk-1"));
    OpenAIService service(keychain, settings, QUrl(QStringLiteral("file:///tmp/openai")));
    QCOMPARE(awaitTask(service.testConnection()).errorDescription(),
             QStringLiteral("Invalid OpenAI API URL configuration."));
    QCOMPARE(
        OpenAIService(keychain, settings, QUrl(OpenAIService::defaultBaseUrl)).completionsUrl()->toString(),
        QStringLiteral("https://api.openai.com/v1/chat/completions"));
}

PENDLOW_TEST_MAIN(OpenAIServiceTest)
#include "tst_OpenAIService.moc"
