// The Tools sign-in: what the callback's query gives (tokens, lifetime, the server's error, the
// state that must match the one sent), how the sign-in window's ends are reported, storing the
// tokens and reading the user's details, what never reaches the log, and one sign-in through the
// real pendlow-web window against a loopback login page.
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"
#include "support/WebHelperPath.h"
#include "support/WebHelperWait.h"

#include "core/UserDefaultsService.h"
#include "platform/KeychainError.h"
#include "platform/KeychainItem.h"
#include "platform/WebAuthenticationError.h"
#include "platform/WebAuthenticationSession.h"
#include "services/tools/AuthError.h"
#include "services/tools/ToolsAuthService.h"
#include "services/tools/ToolsLoginCoordinator.h"

#include <QCoroTimer>
#include <QFile>
#include <QRegularExpression>
#include <QUrlQuery>

#include <chrono>
#include <memory>

namespace {
const QDateTime kNow(QDate(2026, 3, 2), QTime(12, 0));
const QString kLoginPath = QStringLiteral("/tools/admin/tool/brisvane/view/auth_popup.php");
const QString kApiPath = QStringLiteral("/tools/admin/tool/brisvane/auth_api.php");

// "pendlow://auth/callback?" and the query, "{state}" standing for the state that was sent.
QUrl callbackFor(const QString& query, const QString& sentState) {
    QString text = query;
    text.replace(QStringLiteral("{state}"), sentState);
    return QUrl::fromEncoded(QStringLiteral("pendlow").toUtf8() + "://auth/callback?" + text.toUtf8());
}

// A sign-in window that answers at once (after a short wait, as a window would) with what its
// answer gives for the state it was sent, or throws what the answer throws.
class StandInSession : public WebAuthenticationSession {
public:
    using Answer = std::function<QUrl(const QString& sentState)>;

    StandInSession(Answer answer, int delayMs, QList<QUrl>* loginUrls)
        : m_answer(std::move(answer))
        , m_delayMs(delayMs)
        , m_loginUrls(loginUrls) {}

    QCoro::Task<QUrl> authenticate(QUrl loginUrl, QString callbackScheme) override {
        if (callbackScheme != QStringLiteral("pendlow")) {
            throw WebAuthenticationError::startFailed(QStringLiteral("wrong scheme"));
        }
        m_loginUrls->append(loginUrl);
        // Nothing of this object is used after the wait: a replaced session is gone by then.
        const Answer answer = m_answer;
        const QString state = QUrlQuery(loginUrl).queryItemValue(QStringLiteral("state"));
        co_await QCoro::sleepFor(std::chrono::milliseconds(m_delayMs));
        co_return answer(state);
    }

private:
    Answer m_answer;
    int m_delayMs;
    QList<QUrl>* m_loginUrls;
};

struct Outcome {
    int calls = 0;
    std::exception_ptr failure;

    QString description() const { return failure ? Error::describe(failure) : QStringLiteral("success"); }
};
} // namespace

class ToolsLoginCoordinatorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<InMemoryKeychain> m_keychain;
    std::unique_ptr<ToolsAuthService> m_auth;
    std::unique_ptr<ToolsLoginCoordinator> m_coordinator;
    QList<QUrl> m_loginUrls;
    Outcome m_outcome;

    ToolsLoginCoordinator::CompletionHandler recorder() {
        return [this](std::exception_ptr failure) {
            ++m_outcome.calls;
            m_outcome.failure = failure;
        };
    }

    void answerWith(StandInSession::Answer answer, int delayMs = 5) {
        m_coordinator->setSessionFactory([this, answer, delayMs] {
            return std::make_unique<StandInSession>(answer, delayMs, &m_loginUrls);
        });
    }

    void signIn() {
        m_coordinator->setCompletionHandler(recorder());
        QVERIFY(awaitTask(m_coordinator->login(recorder())).finished);
        QCOMPARE(m_outcome.calls, 1);
    }

    int userInfoRequests() const {
        int count = 0;
        for (const FakeHttpServer::Request& request : m_server->requests("GET", kApiPath)) {
            count += request.query.queryItemValue(QStringLiteral("action")) == QStringLiteral("userinfo");
        }
        return count;
    }

private Q_SLOTS:
    void init() {
        m_clock = std::make_unique<FakeClock>(kNow);
        m_server = std::make_unique<FakeHttpServer>();
        m_server->route("GET", kApiPath,
                        FakeHttpServer::Response::json(fixture(QStringLiteral("userinfo.json"))));
        m_settings = std::make_unique<TestSettings>();
        m_settings->setToolsUrl(m_server->baseUrl().toString() + QStringLiteral("/tools/"));
        m_settings->setUserKey(QStringLiteral("key-before"));
        m_keychain = std::make_unique<InMemoryKeychain>();
        m_auth = std::make_unique<ToolsAuthService>(*m_keychain, *m_settings);
        m_coordinator = std::make_unique<ToolsLoginCoordinator>(*m_auth);
        m_loginUrls.clear();
        m_outcome = {};
    }

    void cleanup() {
        m_coordinator.reset();
        m_auth.reset();
        m_clock.reset();
    }

    void generatedStates() {
        const QRegularExpression form(QStringLiteral("^[a-zA-Z0-9]{32}$"));
        QSet<QString> seen;
        for (int i = 0; i < 200; ++i) {
            const QString state = ToolsLoginCoordinator::generateState();
            QVERIFY2(form.match(state).hasMatch(), qPrintable(state));
            seen.insert(state);
        }
        QCOMPARE(seen.size(), 200);
    }

    void callbacks_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("accessToken"); // stored; "-" for nothing stored
        QTest::addColumn<qint64>("expiresIn");
        QTest::newRow("tokens, no lifetime") << "access_token=AT1&refresh_token=RT1&state={state}"
                                             << "success"
                                             << "AT1" << qint64(3600);
        QTest::newRow("tokens and lifetime")
            << "state={state}&access_token=AT1&refresh_token=RT1&expires_in=7200"
            << "success"
            << "AT1" << qint64(7200);
        QTest::newRow("unreadable lifetime")
            << "access_token=AT1&refresh_token=RT1&expires_in=abc&state={state}"
            << "success"
            << "AT1" << qint64(3600);
        QTest::newRow("empty lifetime") << "access_token=AT1&refresh_token=RT1&expires_in=&state={state}"
                                        << "success"
                                        << "AT1" << qint64(3600);
        QTest::newRow("lifetime with a blank")
            << "access_token=AT1&refresh_token=RT1&expires_in=%2060&state={state}"
            << "success"
            << "AT1" << qint64(3600);
        QTest::newRow("negative lifetime") << "access_token=AT1&refresh_token=RT1&expires_in=-5&state={state}"
                                           << "success"
                                           << "AT1" << qint64(-5);
        QTest::newRow("encoded characters kept, plus stays plus")
            << "access_token=a%2Bb%2F%3D+c&refresh_token=RT1&state={state}"
            << "success"
            << "a+b/=+c" << qint64(3600);
        QTest::newRow("empty tokens count") << "access_token=&refresh_token=&state={state}"
                                            << "success"
                                            << "" << qint64(3600);
        QTest::newRow("first of repeated items")
            << "access_token=AT1&access_token=AT2&refresh_token=RT1&state={state}"
            << "success"
            << "AT1" << qint64(3600);
        QTest::newRow("tokens win over an error")
            << "error=server_error&access_token=AT1&refresh_token=RT1&state={state}"
            << "success"
            << "AT1" << qint64(3600);
        QTest::newRow("only an access token") << "access_token=AT1&state={state}"
                                              << "Authentication failed: Missing tokens in callback"
                                              << "-" << qint64(0);
        QTest::newRow("a token item without a value") << "access_token&refresh_token=RT1&state={state}"
                                                      << "Authentication failed: Missing tokens in callback"
                                                      << "-" << qint64(0);
        QTest::newRow("server error") << "error=access_denied&state={state}"
                                      << "Authentication failed: access_denied"
                                      << "-" << qint64(0);
        QTest::newRow("server error with description")
            << "error=access_denied&error_description=User%20said%20no&state={state}"
            << "Authentication failed: User said no"
            << "-" << qint64(0);
        QTest::newRow("error item without a value") << "error&state={state}"
                                                    << "Authentication failed: Missing tokens in callback"
                                                    << "-" << qint64(0);
        const QString mismatch = QStringLiteral(
            "Authentication failed: The sign-in answer does not belong to this sign-in (state mismatch)");
        QTest::newRow("another state")
            << "access_token=AT1&refresh_token=RT1&state=forged" << mismatch << "-" << qint64(0);
        QTest::newRow("no state") << "access_token=AT1&refresh_token=RT1" << mismatch << "-" << qint64(0);
        QTest::newRow("state in another case")
            << "access_token=AT1&refresh_token=RT1&state=X{state}" << mismatch << "-" << qint64(0);
    }

    void callbacks() {
        QFETCH(QString, query);
        QFETCH(QString, outcome);
        QFETCH(QString, accessToken);
        QFETCH(qint64, expiresIn);
        answerWith([query](const QString& state) { return callbackFor(query, state); });
        signIn();

        QCOMPARE(m_outcome.description(), outcome);
        QCOMPARE(m_loginUrls.size(), 1);
        QCOMPARE(m_loginUrls.constFirst().path(), kLoginPath);
        QVERIFY(!m_coordinator->authSession());
        QVERIFY(!m_coordinator->hasCompletionHandler());
        if (accessToken == QStringLiteral("-")) {
            QVERIFY(m_keychain->items().isEmpty());
            QCOMPARE(userInfoRequests(), 0);
            return;
        }
        QCOMPARE(m_keychain->item(KeychainItem::toolsAccessToken), std::optional<QString>(accessToken));
        QVERIFY(m_keychain->item(KeychainItem::toolsRefreshToken));
        QCOMPARE(m_settings->toolsTokenExpiry(), double(kNow.toSecsSinceEpoch() + expiresIn));
        if (expiresIn > 60) {
            // The user's details were read with the new token and set the user key.
            QCOMPARE(userInfoRequests(), 1);
            // (The loopback server trims header values.)
            QCOMPARE(m_server->requests("GET", kApiPath).constLast().header("Authorization"),
                     ("Bearer " + accessToken.toUtf8()).trimmed());
            QCOMPARE(m_settings->userKey(), QStringLiteral("key-from-userinfo"));
        }
    }

    void aStateServesOneCallback() {
        QUrl callback;
        answerWith([&callback](const QString& state) {
            callback = callbackFor(QStringLiteral("access_token=AT1&refresh_token=RT1&state={state}"), state);
            return callback;
        });
        signIn();
        QCOMPARE(m_outcome.description(), QStringLiteral("success"));

        // The same callback again (replayed): refused.
        m_keychain->removeItem(KeychainItem::toolsAccessToken);
        m_keychain->removeItem(KeychainItem::toolsRefreshToken);
        m_outcome = {};
        m_coordinator->setCompletionHandler(recorder());
        awaitTask(m_coordinator->handleCallback(callback, nullptr));
        QCOMPARE(m_outcome.calls, 1);
        QVERIFY(m_outcome.failure);
        const auto error = [&] {
            try {
                std::rethrow_exception(m_outcome.failure);
            } catch (const AuthError& e) {
                return std::optional<AuthError>(e);
            } catch (...) {
                return std::optional<AuthError>();
            }
        }();
        QVERIFY(error);
        QCOMPARE(error->kind(), AuthError::Kind::authenticationFailed);
        QVERIFY(m_keychain->items().isEmpty());
    }

    void howTheWindowEnds_data() {
        QTest::addColumn<int>("ending"); // WebAuthenticationError::Kind
        QTest::addColumn<QString>("reported");
        QTest::addColumn<bool>("throughCompletion");
        QTest::newRow("closed by the user")
            << int(WebAuthenticationError::Kind::cancelled) << "Authentication was cancelled" << false;
        QTest::newRow("went away") << int(WebAuthenticationError::Kind::failed)
                                   << "The sign-in window ended unexpectedly: it crashed" << false;
        QTest::newRow("could not open")
            << int(WebAuthenticationError::Kind::startFailed)
            << "Authentication failed: Failed to start authentication session" << true;
    }

    void howTheWindowEnds() {
        QFETCH(int, ending);
        QFETCH(QString, reported);
        QFETCH(bool, throughCompletion);
        answerWith([ending](const QString&) -> QUrl {
            switch (WebAuthenticationError::Kind(ending)) {
            case WebAuthenticationError::Kind::cancelled:
                throw WebAuthenticationError::cancelled();
            case WebAuthenticationError::Kind::failed:
                throw WebAuthenticationError::failed(QStringLiteral("it crashed"));
            case WebAuthenticationError::Kind::startFailed:
                break;
            }
            throw WebAuthenticationError::startFailed(QStringLiteral("no helper"));
        });
        Outcome handlerOutcome;
        m_coordinator->setCompletionHandler([&handlerOutcome](std::exception_ptr failure) {
            ++handlerOutcome.calls;
            handlerOutcome.failure = failure;
        });
        Outcome completionOutcome;
        awaitTask(m_coordinator->login([&completionOutcome](std::exception_ptr failure) {
            ++completionOutcome.calls;
            completionOutcome.failure = failure;
        }));

        const Outcome& used = throughCompletion ? completionOutcome : handlerOutcome;
        const Outcome& unused = throughCompletion ? handlerOutcome : completionOutcome;
        QCOMPARE(used.calls, 1);
        QCOMPARE(unused.calls, 0);
        QCOMPARE(used.description(), reported);
        // A window that could not open leaves the session and the handler as they were.
        QCOMPARE(m_coordinator->authSession() != nullptr, throughCompletion);
        QCOMPARE(m_coordinator->hasCompletionHandler(), throughCompletion);
        QVERIFY(m_keychain->items().isEmpty());
    }

    void noUsableLoginAddress() {
        m_settings->setToolsUrl(QString());
        bool sessionMade = false;
        m_coordinator->setSessionFactory([&sessionMade] {
            sessionMade = true;
            return std::make_unique<WebAuthenticationSession>();
        });
        signIn();
        QCOMPARE(m_outcome.description(), QStringLiteral("Invalid authentication URL"));
        QVERIFY(!sessionMade);
    }

    void theKeychainRefusesTheTokens() {
        m_keychain->failNextSet();
        answerWith([](const QString& state) {
            return callbackFor(QStringLiteral("access_token=AT1&refresh_token=RT1&state={state}"), state);
        });
        LogCapture log;
        signIn();
        QVERIFY(m_outcome.failure);
        const auto error = [&] {
            try {
                std::rethrow_exception(m_outcome.failure);
            } catch (const KeychainError& e) {
                return true;
            } catch (...) {
                return false;
            }
        }();
        QVERIFY2(error, qPrintable(m_outcome.description()));
        QVERIFY(log.contains(QStringLiteral("[API] Failed to store tokens: ")));
        QCOMPARE(userInfoRequests(), 0); // the user's details are not read
        QVERIFY(!m_keychain->item(KeychainItem::toolsAccessToken));
    }

    void unreadableUserDetailsStillSignIn() {
        m_server->route("GET", kApiPath, FakeHttpServer::Response::json("{}", 500));
        answerWith([](const QString& state) {
            return callbackFor(QStringLiteral("access_token=AT1&refresh_token=RT1&state={state}"), state);
        });
        signIn();
        QCOMPARE(m_outcome.description(), QStringLiteral("success"));
        QCOMPARE(userInfoRequests(), 1);
        QCOMPARE(m_settings->userKey(), QStringLiteral("key-before"));
    }

    void aNewSignInReplacesTheOneUnderWay() {
        int made = 0;
        m_coordinator->setSessionFactory([this, &made] {
            // The first window answers late; by then the second sign-in has replaced it.
            const int delay = made++ == 0 ? 300 : 5;
            return std::make_unique<StandInSession>(
                [](const QString& state) {
                    return callbackFor(QStringLiteral("access_token=AT1&refresh_token=RT1&state={state}"),
                                       state);
                },
                delay, &m_loginUrls);
        });
        m_coordinator->setCompletionHandler(recorder());
        auto first = m_coordinator->login(recorder());
        auto second = m_coordinator->login(recorder());
        QVERIFY(awaitTask(std::move(second)).finished);
        QVERIFY(awaitTask(std::move(first)).finished);
        QCOMPARE(m_outcome.calls, 1);
        QCOMPARE(m_outcome.description(), QStringLiteral("success"));
        // Each sign-in sent a state of its own.
        QCOMPARE(m_loginUrls.size(), 2);
        QVERIFY(QUrlQuery(m_loginUrls[0]).queryItemValue("state") !=
                QUrlQuery(m_loginUrls[1]).queryItemValue("state"));
    }

    void tokensAndTheCallbackStayOutOfTheLog() {
        // Three-letter tokens are too short for the log's masking: only not logging them keeps them out.
        LogCapture log(LogCapture::Verbosity::debug);
        answerWith([](const QString& state) {
            return callbackFor(QStringLiteral("access_token=Zq7&refresh_token=Xk9&state={state}"), state);
        });
        signIn();
        QCOMPARE(m_outcome.description(), QStringLiteral("success"));
        QVERIFY(log.contains(QStringLiteral("[API] Authentication successful")));
        for (const QString& line : log.lines()) {
            QVERIFY2(!line.contains(QStringLiteral("Zq7")) && !line.contains(QStringLiteral("Xk9")) &&
                         !line.contains(QStringLiteral("auth/callback")),
                     qPrintable(line));
        }
    }

    void signInThroughTheWebHelper() {
        QVERIFY(QFile::exists(builtWebHelper()));
        prepareWebHelperEnvironment();
        // The login page sends the browser on to the callback with the state it was given.
        m_server->route("GET", kLoginPath, [](const FakeHttpServer::Request& request) {
            const QString state = request.query.queryItemValue(QStringLiteral("state"));
            FakeHttpServer::Response response;
            response.status = 302;
            const QString location =
                QStringLiteral("pendlow") +
                QStringLiteral("://auth/callback?access_token=AT.e2e%2B1&refresh_token=RT.e2e") +
                QStringLiteral("&expires_in=1800&state=") + state;
            response.headers.append(qMakePair(QByteArray("Location"), location.toUtf8()));
            return response;
        });
        m_coordinator->setSessionFactory([] {
            auto session = std::make_unique<WebAuthenticationSession>();
            session->setHelperProgram(builtWebHelper());
            return session;
        });
        m_coordinator->setCompletionHandler(recorder());
        QVERIFY(awaitTask(m_coordinator->login(recorder()), webHelperWaitMs(30000)).finished);

        QCOMPARE(m_outcome.calls, 1);
        QCOMPARE(m_outcome.description(), QStringLiteral("success"));
        const QList<FakeHttpServer::Request> logins = m_server->requests("GET", kLoginPath);
        QCOMPARE(logins.size(), 1);
        QCOMPARE(logins.constFirst().query.queryItemValue(QStringLiteral("client_name")),
                 QStringLiteral("Pendlow"));
        QCOMPARE(logins.constFirst().query.queryItemValue(QStringLiteral("state")).size(), 32);
        QCOMPARE(m_keychain->item(KeychainItem::toolsAccessToken),
                 std::optional<QString>(QStringLiteral("AT.e2e+1")));
        QCOMPARE(m_keychain->item(KeychainItem::toolsRefreshToken),
                 std::optional<QString>(QStringLiteral("RT.e2e")));
        QCOMPARE(m_settings->toolsTokenExpiry(), double(kNow.toSecsSinceEpoch() + 1800));
        QCOMPARE(userInfoRequests(), 1);
        QCOMPARE(m_server->requests("GET", kApiPath).constLast().header("Authorization"),
                 QByteArray("Bearer AT.e2e+1"));
        QCOMPARE(m_settings->userKey(), QStringLiteral("key-from-userinfo"));
    }
};

PENDLOW_TEST_MAIN(ToolsLoginCoordinatorTest)
#include "tst_ToolsLoginCoordinator.moc"
