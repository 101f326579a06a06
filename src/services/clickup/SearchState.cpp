#include "services/clickup/SearchState.h"

#include "core/DetachedTask.h"

#include "core/Log.h"
#include "core/Observable.h"
#include "services/clickup/CaughtError.h"
#include "services/clickup/ClickUpClient.h"

#include <QPointer>
#include <QTextBoundaryFinder>

namespace {
constexpr auto category = Log::Category::api;

int userPerceivedLength(const QString& text) {
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (graphemes.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

} // namespace

SearchState::SearchState(ClickUpClient& clickUpAPI, QObject* parent, std::chrono::milliseconds debounceDelay)
    : QObject(parent)
    , m_debounceDelay(debounceDelay)
    , m_clickUpAPI(clickUpAPI) {
    m_debounceTimer.setSingleShot(true);
    m_debounceTimer.setInterval(m_debounceDelay);
    connect(&m_debounceTimer, &QTimer::timeout, this, &SearchState::startPendingSearch);
}

void SearchState::setSearchText(const QString& text) {
    setIfChanged(m_searchText, text, this, &SearchState::searchTextChanged);
}

void SearchState::setClickUpResults(const QList<ClickUpSearchResult>& results) {
    setIfChanged(m_clickUpResults, results, this, &SearchState::clickUpResultsChanged);
}

void SearchState::setIsSearching(bool searching) {
    setIfChanged(m_isSearching, searching, this, &SearchState::isSearchingChanged);
}

void SearchState::setError(const std::optional<APIError>& error) {
    m_error = error;
    emit errorChanged();
}

void SearchState::searchTextDidChange(const QString& teamId) {
    m_debounceTimer.stop();
    if (userPerceivedLength(m_searchText) >= minimumQueryLength) {
        m_pendingTeamId = teamId;
        m_pendingQuery = m_searchText;
        m_debounceTimer.start();
    } else {
        setClickUpResults({});
        setError(std::nullopt);
    }
}

void SearchState::startPendingSearch() {
    // Nobody awaits a search started by the debounce, and search() never throws.
    runDetached(whileAlive(QPointer<SearchState>(this),
                           [teamId = m_pendingTeamId, query = m_pendingQuery](SearchState& state) {
                               return state.search(teamId, query);
                           }),
                QStringLiteral("Search failed"), Log::Category::api);
}

void SearchState::clearSearch() {
    m_debounceTimer.stop();
    ++m_generation;
    setSearchText(QString());
    setClickUpResults({});
    setError(std::nullopt);
    setIsSearching(false);
}

QCoro::Task<> SearchState::search(QString teamId, QString query) {
    if (teamId.isEmpty()) {
        co_return;
    }
    QPointer<SearchState> self(this);
    const quint64 generation = ++m_generation;
    const QString textAtStart = m_searchText;
    setIsSearching(true);
    setError(std::nullopt);

    QList<ClickUpSearchResult> results;
    std::exception_ptr failure;
    try {
        results = co_await m_clickUpAPI.searchTasks(teamId, query, resultLimit);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }

    const bool latest = generation == m_generation;
    const bool current = latest && m_searchText == textAtStart;
    if (!failure) {
        Log::debug(
            QStringLiteral("ClickUp search returned %1 results for '%2'").arg(results.size()).arg(query),
            category);
    } else {
        const CaughtError caught = CaughtError::from(failure);
        Log::error((caught.isAPIError ? QStringLiteral("ClickUp search error: ")
                                      : QStringLiteral("ClickUp search unexpected error: ")) +
                       caught.description,
                   category);
        if (current) {
            setError(caught.apiError);
        }
        results.clear();
    }
    if (current) {
        setClickUpResults(results);
    } else {
        Log::debug(QStringLiteral("ClickUp search for '%1' overtaken, results dropped").arg(query), category);
    }
    if (latest) {
        setIsSearching(false);
    }
}
