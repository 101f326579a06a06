// The filter text's debounced ClickUp task search against a fake client: minimum length, one search
// per burst of changes, cancellation, failures, and searches overtaken by a newer text.
#include "support/FakeClickUpAPI.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "services/clickup/SearchState.h"

#include <QSignalSpy>

#include <memory>

using namespace std::chrono_literals;

namespace {
// Short, so the tests do not wait long; the tests never rely on its length.
constexpr auto kDebounce = 20ms;
const QString kTeam = onHeap(u"team-1");

ClickUpSearchResult result(const QString& id, const QString& name) {
    ClickUpSearchResult r;
    r.id = id;
    r.name = name;
    return r;
}
} // namespace

class SearchStateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeClickUpAPI> m_api;
    std::unique_ptr<SearchState> m_state;

    void type(const QString& text, const QString& teamId = kTeam) {
        m_state->setSearchText(text);
        m_state->searchTextDidChange(teamId);
    }

    // Lets every pending debounce run out (several times its length).
    void settle() { QTest::qWait(int(kDebounce.count()) * 5); }

    int searches() const { return m_api->callCount(FakeClickUpAPI::searchTasksOp); }

private Q_SLOTS:
    void init() {
        m_api = std::make_unique<FakeClickUpAPI>();
        m_api->searchResults = {result("t1", "Login page"), result("t2", "Login API")};
        m_state = std::make_unique<SearchState>(*m_api, nullptr, kDebounce);
    }

    void cleanup() { m_state.reset(); }

    void productionDebounceIsHalfASecond() {
        SearchState state(*m_api);
        QCOMPARE(state.debounceDelay(), 500ms);
    }

    void minimumLength_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("starts");
        QTest::newRow("two characters") << "ab" << false;
        QTest::newRow("three characters") << "abc" << true;
        QTest::newRow("blanks count") << "a  " << true;
        QTest::newRow("combining accent is one character") << QString::fromUtf8("e\xCC\x81"
                                                                                "a")
                                                           << false; // é (e + U+0301) and a: two characters
    }

    void minimumLength() {
        QFETCH(QString, text);
        QFETCH(bool, starts);
        type(text);
        QCOMPARE(m_state->hasPendingSearch(), starts);
        QCOMPARE(searches(), 0); // never at once
        settle();
        QCOMPARE(searches(), starts ? 1 : 0);
        if (starts) {
            const auto call = m_api->calls(FakeClickUpAPI::searchTasksOp).constFirst();
            QCOMPARE(call.query, text);
            QCOMPARE(call.teamId, kTeam);
            QCOMPARE(call.limit, 20);
            QCOMPARE(m_state->clickUpResults().size(), 2);
            QVERIFY(!m_state->isSearching());
        }
    }

    void burstOfChangesStartsOneSearchWithTheLastText() {
        for (const char* text : {"log", "logi", "login", "login ", "login p"}) {
            type(QString::fromLatin1(text));
        }
        QTRY_COMPARE(searches(), 1);
        settle();
        QCOMPARE(searches(), 1);
        QCOMPARE(m_api->calls(FakeClickUpAPI::searchTasksOp).constFirst().query, QStringLiteral("login p"));
    }

    void goingBelowThreeCharactersEmptiesAndCancels() {
        type(onHeap(u"login"));
        QTRY_COMPARE(m_state->clickUpResults().size(), 2);
        m_state->setError(APIError::invalidURL());

        type(onHeap(u"logi"));
        type(onHeap(u"lo"));

        QVERIFY(m_state->clickUpResults().isEmpty()); // at once
        QVERIFY(!m_state->error());
        QVERIFY(!m_state->hasPendingSearch());
        settle();
        QCOMPARE(searches(), 1);
    }

    void clearSearchCancelsThePendingSearch() {
        type(onHeap(u"login"));
        m_state->clearSearch();
        QCOMPARE(m_state->searchText(), QString());
        settle();
        QCOMPARE(searches(), 0);
    }

    void emptyTeamIdChangesNothing() {
        QSignalSpy searchingSpy(m_state.get(), &SearchState::isSearchingChanged);
        type(onHeap(u"login"), QString());
        settle();
        QCOMPARE(searches(), 0);
        QCOMPARE(searchingSpy.count(), 0);
        QVERIFY(m_state->clickUpResults().isEmpty());
    }

    void failure_data() {
        QTest::addColumn<bool>("apiError");
        QTest::addColumn<QString>("errorText");
        QTest::newRow("API error") << true << "Server error (429): Rate limit";
        QTest::newRow("transport failure") << false << "Network error: Connection reset";
    }

    void failure() {
        QFETCH(bool, apiError);
        QFETCH(QString, errorText);
        type(onHeap(u"login"));
        QTRY_COMPARE(m_state->clickUpResults().size(), 2);

        m_api->failNext(FakeClickUpAPI::searchTasksOp,
                        apiError
                            ? std::make_exception_ptr(APIError::httpError(429, QStringLiteral("Rate limit")))
                            : std::make_exception_ptr(FakeClickUpAPI::TransportFailure("Connection reset")));
        type(onHeap(u"login page"));
        QTRY_COMPARE(searches(), 2);
        QTRY_VERIFY(m_state->error().has_value());

        QCOMPARE(m_state->error()->description(), errorText);
        QVERIFY(m_state->clickUpResults().isEmpty());
        QVERIFY(!m_state->isSearching());
    }

    // A search answered after its text was changed or cleared must not show results for a text the
    // user no longer sees.
    void staleSearchLeavesResultsAlone_data() {
        QTest::addColumn<QString>("afterwards"); // "shorter", "cleared", "longer"
        QTest::newRow("text cut below three characters") << "shorter";
        QTest::newRow("search cleared") << "cleared";
        QTest::newRow("text changed, newer search pending") << "longer";
    }

    void staleSearchLeavesResultsAlone() {
        QFETCH(QString, afterwards);
        m_api->hold(FakeClickUpAPI::searchTasksOp);
        type(onHeap(u"login"));
        QTRY_COMPARE(m_api->waiting(FakeClickUpAPI::searchTasksOp), 1);
        QVERIFY(m_state->isSearching());

        if (afterwards == QLatin1String("shorter")) {
            type(onHeap(u"lo"));
        } else if (afterwards == QLatin1String("cleared")) {
            m_state->clearSearch();
        } else {
            m_state->setSearchText(QStringLiteral("logout"));
        }
        m_api->release(FakeClickUpAPI::searchTasksOp);
        QTRY_VERIFY(!m_state->isSearching());

        QVERIFY(m_state->clickUpResults().isEmpty());
    }

    void overtakenSearchDoesNotOverwriteTheNewerOne() {
        m_api->hold(FakeClickUpAPI::searchTasksOp);
        auto older = m_state->search(kTeam, onHeap(u"login"));
        QCOMPARE(m_api->waiting(FakeClickUpAPI::searchTasksOp), 1);

        m_api->stopHolding(FakeClickUpAPI::searchTasksOp);
        m_api->searchResults = {result("t9", "Logout")};
        awaitTask(m_state->search(kTeam, onHeap(u"logout")));
        QCOMPARE(m_state->clickUpResults().size(), 1);

        // The older answer arrives last.
        m_api->searchResults = {result("t1", "Login page"), result("t2", "Login API")};
        m_api->release(FakeClickUpAPI::searchTasksOp);
        awaitTask(std::move(older));

        QCOMPARE(m_state->clickUpResults().size(), 1);
        QCOMPARE(m_state->clickUpResults().constFirst().id, QStringLiteral("t9"));
        QVERIFY(!m_state->isSearching());
    }

    void equalValuesDoNotNotify() {
        QSignalSpy textSpy(m_state.get(), &SearchState::searchTextChanged);
        QSignalSpy resultsSpy(m_state.get(), &SearchState::clickUpResultsChanged);
        QSignalSpy errorSpy(m_state.get(), &SearchState::errorChanged);
        m_state->setSearchText(QStringLiteral("x"));
        m_state->setSearchText(QStringLiteral("x"));
        m_state->setClickUpResults({});
        m_state->setError(std::nullopt);
        m_state->setError(std::nullopt);
        QCOMPARE(textSpy.count(), 1);
        QCOMPARE(resultsSpy.count(), 0);
        QCOMPARE(errorSpy.count(), 2);
    }
};

PENDLOW_TEST_MAIN(SearchStateTest)
#include "tst_SearchState.moc"
