#pragma once

#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpSearchResult.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

class ClickUpClient;

// The text of the popover's filter field and the debounced ClickUp task search run on it: from
// minimumQueryLength characters on, a search starts debounceDelay after the last change, with the
// text of that change. Lives on the GUI thread. searchText, clickUpResults and isSearching notify only
// when their value changes; every assignment of error notifies.
//
// A search whose text has changed or been cleared while ClickUp answered, or that a newer search
// has overtaken, leaves results and error as they are.
class SearchState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(QList<ClickUpSearchResult> clickUpResults READ clickUpResults NOTIFY clickUpResultsChanged)
    Q_PROPERTY(bool isSearching READ isSearching NOTIFY isSearchingChanged)
    Q_PROPERTY(std::optional<APIError> error READ error NOTIFY errorChanged)

public:
    static constexpr std::chrono::milliseconds defaultDebounceDelay{500};
    static constexpr int minimumQueryLength = 3;
    static constexpr int resultLimit = 20;

    // Tests give a shorter debounce delay.
    explicit SearchState(ClickUpClient& clickUpAPI, QObject* parent = nullptr,
                         std::chrono::milliseconds debounceDelay = defaultDebounceDelay);

    const QString& searchText() const { return m_searchText; }
    const QList<ClickUpSearchResult>& clickUpResults() const { return m_clickUpResults; }
    bool isSearching() const { return m_isSearching; }
    const std::optional<APIError>& error() const { return m_error; }
    std::chrono::milliseconds debounceDelay() const { return m_debounceDelay; }
    // A debounced search is waiting to start.
    bool hasPendingSearch() const { return m_debounceTimer.isActive(); }

    void setSearchText(const QString& text);
    void setClickUpResults(const QList<ClickUpSearchResult>& results);
    void setIsSearching(bool searching);
    // Always notifies, also for an equal value.
    void setError(const std::optional<APIError>& error);

    // Called after each change of searchText, with the configured ClickUp team id: replaces the
    // pending search; below minimumQueryLength characters (user-perceived, untrimmed) it empties the
    // results and the error instead.
    Q_INVOKABLE void searchTextDidChange(const QString& teamId);
    // Cancels the pending search and empties text, results and error.
    Q_INVOKABLE void clearSearch();
    // The search itself (at most resultLimit tasks). An empty team id changes nothing. Never throws:
    // a failure empties the results and ends in `error`.
    QCoro::Task<> search(QString teamId, QString query);

Q_SIGNALS:
    void searchTextChanged();
    void clickUpResultsChanged();
    void isSearchingChanged();
    void errorChanged();

private:
    void startPendingSearch();

    QString m_searchText;
    QList<ClickUpSearchResult> m_clickUpResults;
    bool m_isSearching = false;
    std::optional<APIError> m_error;
    QTimer m_debounceTimer;
    const std::chrono::milliseconds m_debounceDelay;
    QString m_pendingTeamId;
    QString m_pendingQuery;
    // Counts searches started and clears, so an overtaken search can tell.
    quint64 m_generation = 0;
    ClickUpClient& m_clickUpAPI;
};
