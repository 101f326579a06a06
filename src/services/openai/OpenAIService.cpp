#include "services/openai/OpenAIService.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "core/Log.h"
#include "core/RequestLimits.h"
#include "core/SettingsStore.h"
#include "core/TransportError.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "services/openai/OpenAIChatRequest.h"
#include "services/openai/OpenAIChatResponse.h"
#include "services/openai/OpenAIError.h"
#include "services/openai/OpenAIErrorResponse.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr auto category = Log::Category::api;

bool holdsControlCharacter(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

QString trimmedKey(const std::optional<QString>& stored) {
    return stored ? stored->trimmed() : QString();
}
} // namespace

const QString OpenAIService::summarySystemPrompt =
    u"You are an assistant that summarizes daily work activity reports into clear, natural language "
    u"narratives.\n"
    u"\n"
    u"Guidelines:\n"
    u"- Write in first person (\"I spent...\", \"I worked on...\")\n"
    u"- Group related activities together logically\n"
    u"- Highlight key accomplishments and focus areas\n"
    u"- Note any patterns (e.g., \"Most of my morning was spent on...\")\n"
    u"- Keep the summary concise but informative (2-4 paragraphs)\n"
    u"- Mention tracked vs untracked time if significant\n"
    u"- Include approximate time spent on major activities\n"
    u"- Use a professional but conversational tone"_s;

const QString OpenAIService::summaryUserPrefix =
    u"Please summarize this work activity report into a natural language narrative:\n\n"_s;

OpenAIService::OpenAIService(SecretStore& keychain, SettingsStore& settings, QUrl baseUrl, QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_settings(settings)
    , m_baseUrl(std::move(baseUrl))
    , m_network(new QNetworkAccessManager(this)) {}

OpenAIService::~OpenAIService() {
    // Requests still under way end now, so the calls awaiting them finish as failures.
    const QList<QNetworkReply*> pending = m_network->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : pending) {
        reply->abort();
    }
}

std::optional<QUrl> OpenAIService::completionsUrl() const {
    const QString scheme = m_baseUrl.scheme();
    if (!m_baseUrl.isValid() || m_baseUrl.host().isEmpty() || (scheme != u"https"_s && scheme != u"http"_s)) {
        return std::nullopt;
    }
    QString path = m_baseUrl.path(QUrl::FullyEncoded);
    while (path.endsWith(u'/')) {
        path.chop(1);
    }
    QUrl url = m_baseUrl;
    url.setPath(path + u"/chat/completions"_s, QUrl::StrictMode);
    url.setQuery(QString());
    url.setFragment(QString());
    if (!url.isValid()) {
        return std::nullopt;
    }
    return url;
}

QCoro::Task<std::optional<QString>> OpenAIService::readKey() {
    const QPointer<OpenAIService> self(this);
    const std::optional<QString> stored = co_await m_keychain.getValue(KeychainItem::openAIAPIToken);
    if (!self) {
        throw TransportError(QNetworkReply::OperationCanceledError, u"The OpenAI client was closed"_s);
    }
    const QString key = trimmedKey(stored);
    if (key.isEmpty()) {
        co_return std::nullopt;
    }
    co_return key;
}

QCoro::Task<bool> OpenAIService::isConfigured() {
    const std::optional<QString> stored = co_await m_keychain.getValue(KeychainItem::openAIAPIToken);
    co_return !trimmedKey(stored).isEmpty();
}

QCoro::Task<HttpReply> OpenAIService::exchange(OpenAIChatRequest chatRequest) {
    const QPointer<OpenAIService> self(this);
    const std::optional<QString> key = co_await readKey();
    if (!key) {
        throw OpenAIError::missingToken();
    }
    if (holdsControlCharacter(*key)) {
        Log::warning(
            u"The stored OpenAI key holds a line break or another control character; it is not sent"_s,
            category);
        throw OpenAIError::invalidToken();
    }
    const std::optional<QUrl> url = completionsUrl();
    if (!url) {
        throw OpenAIError::invalidURL();
    }
    const QString model = m_settings.openAIModel();
    chatRequest.model = model.isEmpty() ? u"gpt-4o-mini"_s : model;

    QNetworkRequest request(*url);
    // The key goes along with the request: a redirect is not followed, its status is the answer.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setRawHeader("Authorization", "Bearer " + key->toUtf8());
    request.setRawHeader("Content-Type", "application/json");
    const QByteArray body = chatRequest.encode();
    // Held to the shared limits: m_timeout without data, and at most the longer of it and the
    // shared deadline in all.
    RequestLimits limits;
    limits.inactivity = m_timeout;
    limits.deadline = std::max(m_timeout, RequestLimits::defaultDeadline);
    QNetworkReply* sent = limits.apply(m_network->post(request, body));
    const HttpReply reply = co_await HttpReply::receive(sent);
    if (!self) {
        throw TransportError(QNetworkReply::OperationCanceledError, u"The OpenAI client was closed"_s);
    }
    if (!reply.status) {
        throw OpenAIError::invalidResponse();
    }
    const int status = *reply.status;
    if (status == 401) {
        throw OpenAIError::invalidToken();
    }
    if (reply.isSuccess()) {
        co_return reply;
    }
    // OpenAI explains a failure in its error body: {"error": {"message", "type", "code"}}.
    std::optional<OpenAIErrorResponse> error;
    try {
        error = decodeJson<OpenAIErrorResponse>(reply.body);
    } catch (const DecodingError&) {
    }
    if (status == 429) {
        // A 429 is either a rate limit (wait and retry) or an exhausted quota (retrying never helps).
        const bool outOfCredit = error && (error->error.code == u"insufficient_quota"_s ||
                                           error->error.type == u"insufficient_quota"_s);
        if (outOfCredit) {
            Log::warning(u"OpenAI request refused: the account's quota is used up"_s, category);
            throw OpenAIError::quotaExceeded(error->error.message);
        }
        throw OpenAIError::rateLimited();
    }
    Log::warning(u"OpenAI request failed: HTTP "_s + QString::number(status), category);
    if (error) {
        throw OpenAIError::apiError(error->error.message);
    }
    throw OpenAIError::httpError(status);
}

QString OpenAIService::boundedSummary(const QString& content, bool cutAtTokenLimit) {
    QString summary = content;
    bool capped = false;
    if (summary.size() > maxSummaryLength) {
        qsizetype end = maxSummaryLength;
        // Never between the two halves of a surrogate pair.
        if (summary.at(end - 1).isHighSurrogate()) {
            --end;
        }
        summary.truncate(end);
        capped = true;
    }
    if (capped) {
        summary += summaryCappedMark;
    } else if (cutAtTokenLimit) {
        summary += summaryCutMark;
    }
    return summary;
}

QCoro::Task<QString> OpenAIService::summarize(QString reportText) {
    OpenAIChatRequest request;
    request.messages = {ChatMessage{u"system"_s, summarySystemPrompt, std::nullopt},
                        ChatMessage{u"user"_s, summaryUserPrefix + reportText, std::nullopt}};
    request.temperature = 0.7;
    request.maxTokens = 1000;
    const HttpReply reply = co_await exchange(std::move(request));
    const auto response = decodeJson<OpenAIChatResponse>(reply.body);
    if (response.choices.isEmpty()) {
        throw OpenAIError::emptyResponse();
    }
    const OpenAIChatResponse::Choice& choice = response.choices.first();
    if (choice.message.refusal && choice.message.content.isEmpty()) {
        throw OpenAIError::refused(*choice.message.refusal);
    }
    co_return boundedSummary(choice.message.content, choice.finishReason == u"length"_s);
}

QCoro::Task<> OpenAIService::testConnection() {
    OpenAIChatRequest request;
    request.messages = {ChatMessage{u"user"_s, u"Say OK"_s, std::nullopt}};
    request.temperature = 0.0;
    request.maxTokens = 5;
    co_await exchange(std::move(request));
}
