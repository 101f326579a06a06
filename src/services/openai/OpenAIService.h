#pragma once

#include "core/HttpReply.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>

class SecretStore;
class QNetworkAccessManager;
class SettingsStore;
struct OpenAIChatRequest;

// The application's client of the OpenAI chat-completions API. Keeps nothing between calls: each
// call reads the key (secret "openai-api-token") and the model (setting "openAIModel") anew.
//
// The key is trimmed of surrounding whitespace; one that is then empty counts as missing and fails
// with missingToken before anything is sent, and one that still holds a control character is never
// put into a header (invalidToken, nothing sent).
//
// Reply mapping: 401 invalidToken, 429 rateLimited, another status outside 2xx apiError with the
// server's message when the body carries an error object, else httpError. Transport failures pass on
// as TransportError (a time-out as well); an undecodable summary reply as DecodingError.
class OpenAIService : public QObject {
    Q_OBJECT

public:
    // The public API; PendlowApp reads PENDLOW_OPENAI_API_URL in its place when set.
    static inline const QString defaultBaseUrl = QStringLiteral("https://api.openai.com/v1");
    static constexpr std::chrono::milliseconds defaultTimeout{60'000};
    // The instructions the summary request starts with (543 characters).
    static const QString summarySystemPrompt;
    // The text before the report in the summary request's user message.
    static const QString summaryUserPrefix;

    // baseUrl: the API's address up to its version, e.g. "https://api.openai.com/v1"; requests go
    // to "<baseUrl>/chat/completions". An address that is not absolute http or https makes every
    // request fail with invalidURL.
    OpenAIService(SecretStore& keychain, SettingsStore& settings, QUrl baseUrl, QObject* parent = nullptr);
    ~OpenAIService() override;

    // A key is stored and is not blank.
    QCoro::Task<bool> isConfigured();
    // A narrative of the report text: the first choice's content, an empty text included. Throws
    // emptyResponse when the reply has no choices.
    // The first choice's text, cut to maxSummaryLength characters (never inside a surrogate pair)
    // and then followed by summaryCappedMark; a text OpenAI stopped at its token limit
    // ("finish_reason" "length") is followed by summaryCutMark. A refusal throws refused.
    QCoro::Task<QString> summarize(QString reportText);

    // Longest summary shown: far beyond the 1000 tokens asked for, short enough to lay out at once.
    static constexpr qsizetype maxSummaryLength = 64 * 1024;
    static inline const QString summaryCappedMark =
        QStringLiteral("\n\n[Summary cut: too long to show in full.]");
    static inline const QString summaryCutMark =
        QStringLiteral("\n\n[Summary incomplete: OpenAI stopped at its length limit.]");
    // The content as summarize returns it.
    static QString boundedSummary(const QString& content, bool cutAtTokenLimit);
    // A minimal request ("Say OK", 5 tokens); returns on any 2xx status, whatever the body.
    QCoro::Task<> testConnection();

    // The chat-completions address for the base, or none when the base is unusable.
    std::optional<QUrl> completionsUrl() const;
    // Tests shorten it: a request fails as timed out when no data moves for this long.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

private:
    QCoro::Task<std::optional<QString>> readKey();
    // Sends the request and maps every status outside 2xx to its error; returns the 2xx reply.
    QCoro::Task<HttpReply> exchange(OpenAIChatRequest request);

    SecretStore& m_keychain;
    SettingsStore& m_settings;
    QUrl m_baseUrl;
    QNetworkAccessManager* m_network;
    std::chrono::milliseconds m_timeout = defaultTimeout;
};
