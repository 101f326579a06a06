#pragma once

#include "core/Error.h"

#include <QString>

// A failed update check: the feed could not be fetched or read. description() says what went wrong,
// recoverySuggestion() what the user may do about it (empty when there is nothing to suggest).
class UpdateError : public Error {
public:
    enum class Kind {
        networkError, // detail: the network layer's message
        httpError,    // status code
        timedOut,
        invalidFeed, // detail: what is wrong with the feed
        feedTooLarge,
    };

    static UpdateError networkError(const QString& detail);
    static UpdateError httpError(int statusCode);
    static UpdateError timedOut();
    static UpdateError invalidFeed(const QString& detail);
    static UpdateError feedTooLarge();

    Kind kind() const { return m_kind; }
    int statusCode() const { return m_statusCode; }
    const QString& detail() const { return m_detail; }

    QString description() const override;
    QString recoverySuggestion() const;

private:
    UpdateError(Kind kind, int statusCode, QString detail);

    Kind m_kind;
    int m_statusCode = 0;
    QString m_detail;
};
