#include "services/forwarding/EmailForwardingService.h"

#include "core/Clock.h"
#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "core/Log.h"
#include "core/OversizedReplyError.h"
#include "core/RequestLimits.h"
#include "core/SettingsStore.h"
#include "core/TransportError.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "services/forwarding/ClickUpTaskResponse.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/EmailSource.h"
#include "services/forwarding/N8NEmailResponse.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
constexpr auto category = Log::Category::api;

// What happened to one exchange besides its reply, noted by the reply's signals.
struct ExchangeState {
    QStringList certificateProblems;
    QString certificateSha256;
    // A certificate was trusted for the host before, and this one is another.
    bool differsFromPin = false;
};

bool holdsControlCharacter(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// Clears the running flag when the forward ends, however it ends.
class ForwardingGuard {
public:
    ForwardingGuard(QPointer<QObject> owner, bool& flag)
        : m_owner(std::move(owner))
        , m_flag(flag) {
        m_flag = true;
    }
    ForwardingGuard(const ForwardingGuard&) = delete;
    ForwardingGuard& operator=(const ForwardingGuard&) = delete;
    ~ForwardingGuard() {
        if (m_owner) {
            m_flag = false;
        }
    }

private:
    QPointer<QObject> m_owner;
    bool& m_flag;
};

} // namespace

EmailForwardingService::EmailForwardingService(SecretStore& keychain, SettingsStore& settings,
                                               EmailSource& capture, QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_settings(settings)
    , m_capture(capture)
    , m_network(new QNetworkAccessManager(this)) {}

EmailForwardingService::~EmailForwardingService() {
    // Requests still under way end now, so the calls awaiting them finish as failures.
    const QList<QNetworkReply*> pending = m_network->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : pending) {
        reply->abort();
    }
}

bool EmailForwardingService::isConfigured() const {
    return !endpoint().isEmpty();
}

QString EmailForwardingService::endpoint() const {
    // An address pasted with a blank or a line break around it is meant without them.
    return m_settings.n8nEndpoint().trimmed();
}

QString EmailForwardingService::serverAddress(const QUrl& url) {
    // Scheme, host and port only: the path and query of a webhook address are its secret.
    return url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
        .toString();
}

QString EmailForwardingService::serverMessage(const QByteArray& body) {
    // n8n explains a refused call as {"code": 404, "message": "...", "hint": "..."}; a text field is
    // taken as it is, whatever else the object holds.
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject()) {
        return QString();
    }
    const QJsonValue message = document.object().value(u"message"_s);
    return message.isString() ? message.toString().simplified().left(maxServerMessageLength) : QString();
}

QString EmailForwardingService::normalizedPin(const QString& text) {
    QString pin = text.trimmed().toLower();
    pin.remove(u':');
    pin.remove(u' ');
    return pin;
}

QJsonObject EmailForwardingService::payload(const QDateTime& now, const QString& subject, const QString& link,
                                            const QString& userKey, const QString& toolsUrl,
                                            const QString& teamId) {
    QDateTime wholeSeconds = now.toUTC();
    wholeSeconds.setTime(
        QTime(wholeSeconds.time().hour(), wholeSeconds.time().minute(), wholeSeconds.time().second()));
    return QJsonObject{{u"timestamp"_s, wholeSeconds.toString(Qt::ISODate)},
                       {u"subject"_s, subject},
                       {u"link"_s, link},
                       {u"body"_s, u"Email content available via shareable link"_s},
                       {u"from"_s, u"Spark Desktop"_s},
                       {u"to"_s, u"n8n Webhook"_s},
                       {u"userKey"_s, userKey},
                       {u"toolsUrl"_s, toolsUrl},
                       {u"clickUpTeamId"_s, teamId}};
}

QCoro::Task<std::optional<QString>> EmailForwardingService::forwardCurrentEmail() {
    if (!isConfigured()) {
        throw EmailForwardingError::notConfigured();
    }
    if (m_isForwarding) {
        Log::warning(u"An email forward is already running; the new one is refused"_s, category);
        throw EmailForwardingError::alreadyForwarding();
    }
    const ForwardingGuard guard(QPointer<QObject>(this), m_isForwarding);
    Log::info(u"Starting email forward workflow"_s, category);
    const std::optional<QString> subject = m_capture.getEmailSubject();
    if (!subject) {
        throw EmailForwardingError::noEmailSelected();
    }
    Log::debug(u"Email subject: "_s + *subject, category);
    const std::optional<QString> link = m_capture.getEmailLink();
    if (!link) {
        throw EmailForwardingError::failedToGetLink();
    }
    Log::debug(u"Email link: <redacted>"_s, category);
    std::optional<QString> taskUrl = co_await sendToWebhook(*subject, *link);
    Log::info(u"Email forwarded successfully"_s, category);
    co_return taskUrl;
}

QCoro::Task<std::optional<QByteArray>> EmailForwardingService::readSharedKey() {
    const std::optional<QString> stored = co_await m_keychain.getValue(KeychainItem::n8nSharedKey);
    const QString key = stored ? stored->trimmed() : QString();
    if (key.isEmpty()) {
        co_return std::nullopt;
    }
    if (holdsControlCharacter(key)) {
        Log::warning(u"The stored n8n shared key holds a control character; nothing is sent"_s, category);
        throw EmailForwardingError::invalidSharedKey();
    }
    co_return key.toUtf8();
}

QCoro::Task<HttpReply> EmailForwardingService::exchange(QNetworkRequest request, QByteArray body,
                                                        RequestLimits limits) {
    auto state = std::make_shared<ExchangeState>();
    const QString pin = normalizedPin(m_settings.n8nPinnedCertificateSha256());
    const QString host = request.url().host();
    const bool hasPin = !pin.isEmpty();
    // A redirect is not followed: the shared key and the e-mail go to the stored address only.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);

    limits.maxBodyBytes = m_maxReplyBytes;
    QNetworkReply* reply = limits.apply(m_network->post(request, body));
    connect(reply, &QNetworkReply::sslErrors, reply,
            [reply, state, pin, host, hasPin](const QList<QSslError>& errors) {
                QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
                if (certificate.isNull() && !errors.isEmpty()) {
                    certificate = errors.first().certificate();
                }
                const QString sha256 =
                    certificate.isNull()
                        ? QString()
                        : QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
                const bool aboutThisCertificate =
                    std::all_of(errors.cbegin(), errors.cend(), [&](const QSslError& e) {
                        return e.certificate().isNull() || e.certificate() == certificate;
                    });
                if (!pin.isEmpty() && sha256 == pin && reply->url().host() == host && aboutThisCertificate) {
                    Log::debug(u"Accepted the pinned certificate for: "_s + host, category);
                    reply->ignoreSslErrors(errors);
                    return;
                }
                QStringList problems;
                for (const QSslError& error : errors) {
                    if (!problems.contains(error.errorString())) {
                        problems.append(error.errorString());
                    }
                }
                state->certificateProblems = problems;
                state->certificateSha256 = sha256;
                state->differsFromPin = hasPin && sha256 != pin;
            });

    try {
        co_return co_await HttpReply::receive(reply);
    } catch (const OversizedReplyError&) {
        throw EmailForwardingError::invalidResponse();
    } catch (const TransportError& error) {
        if (error.isTimeout()) {
            throw EmailForwardingError::timeout();
        }
        if (!state->certificateProblems.isEmpty()) {
            if (state->differsFromPin) {
                throw EmailForwardingError::certificateChanged(state->certificateProblems.join(u"; "_s),
                                                               state->certificateSha256);
            }
            throw EmailForwardingError::certificateRejected(state->certificateProblems.join(u"; "_s),
                                                            state->certificateSha256);
        }
        if (error.code() == QNetworkReply::OperationCanceledError) {
            throw;
        }
        // Refused, host not found, reset: say which server could not be reached.
        throw EmailForwardingError::unreachable(serverAddress(request.url()), error.description());
    }
}

QCoro::Task<std::optional<QString>> EmailForwardingService::sendToWebhook(QString subject, QString link) {
    const QPointer<EmailForwardingService> self(this);
    const QUrl url(endpoint(), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http"_s && scheme != u"https"_s)) {
        // The address itself stays out of the log: a webhook's path is often its secret.
        Log::error(u"Invalid n8n endpoint URL"_s, category);
        throw EmailForwardingError::invalidEndpoint();
    }

    // No ping before the POST: an n8n webhook answers only the method it was made for (HEAD gets a
    // 404 and an "unknown webhook" line in n8n's log), and a POST would run the flow.
    Log::info(u"Sending email to n8n webhook"_s, category);
    Log::debug(u"Server: "_s + serverAddress(url), category);

    QNetworkRequest request(url);
    request.setRawHeader("Content-Type", "application/json");
    const std::optional<QByteArray> key = co_await readSharedKey();
    if (!self) {
        throw TransportError(QNetworkReply::OperationCanceledError, u"E-mail forwarding was closed"_s);
    }
    if (key) {
        request.setRawHeader("X-Webhook-Key", *key);
        Log::debug(u"Request includes X-Webhook-Key header"_s, category);
    } else {
        Log::debug(u"No shared key configured"_s, category);
    }

    const QString userKey = m_settings.userKey();
    const QString teamId = m_settings.teamId();
    const QJsonObject body = payload(Clock::now(), subject, link, userKey, m_settings.toolsUrl(), teamId);
    Log::debug(u"Payload: timestamp="_s + body.value(u"timestamp"_s).toString() + u", subject="_s + subject +
                   u", link=<redacted>, userKey="_s + Log::redacted(userKey) + u", teamId="_s + teamId,
               category);

    Log::info(u"Sending POST request to n8n..."_s, category);
    QElapsedTimer elapsed;
    elapsed.start();
    const QByteArray data = QJsonDocument(body).toJson(QJsonDocument::Compact);
    const RequestLimits limits{.inactivity = postTransferTimeout, .deadline = m_postTimeout};
    const HttpReply reply = co_await exchange(request, data, limits);
    Log::info(u"n8n response received in "_s + QString::number(double(elapsed.elapsed()) / 1000.0, 'f', 2) +
                  u"s"_s,
              category);

    if (!reply.status) {
        Log::error(u"Invalid response type from n8n"_s, category);
        throw EmailForwardingError::invalidResponse();
    }
    const int status = *reply.status;
    Log::info(u"n8n webhook response: HTTP "_s + QString::number(status), category);
    if (!reply.isSuccess()) {
        Log::error(u"n8n webhook error: HTTP "_s + QString::number(status), category);
        Log::debug(u"Response body: "_s + QString::fromUtf8(reply.body), category);
        throw EmailForwardingError::httpError(status, serverMessage(reply.body));
    }
    Log::debug(u"Response body: "_s + QString::fromUtf8(reply.body), category);
    if (reply.body.trimmed().isEmpty()) {
        // A webhook set to answer with no data (or "When last node finishes" with nothing to send).
        Log::info(u"n8n accepted the email (empty reply)"_s, category);
        co_return std::nullopt;
    }

    try {
        const auto response = decodeJson<N8NEmailResponse>(reply.body);
        if (!response.success) {
            Log::warning(u"n8n reported that it could not process the email"_s, category);
            throw EmailForwardingError::rejected(response.message.value_or(QString()));
        }
        if (response.taskUrl) {
            Log::info(u"✅ n8n created ClickUp task: "_s + *response.taskUrl, category);
            co_return response.taskUrl;
        }
        Log::info(u"n8n response missing taskUrl field"_s, category);
        co_return std::nullopt;
    } catch (const DecodingError&) {
        Log::debug(u"Formatted response parsing failed, trying raw ClickUp task format..."_s, category);
    }
    try {
        const auto task = decodeJson<ClickUpTaskResponse>(reply.body);
        Log::info(u"✅ n8n returned ClickUp task directly: "_s + task.url, category);
        co_return task.url;
    } catch (const DecodingError& error) {
        // Any other reply of a flow (n8n's own "Workflow was started" among them) is a delivery.
        Log::debug(u"The reply is no ClickUp task: "_s + error.description(), category);
    }
    Log::info(u"Email forwarded successfully (no structured response)"_s, category);
    co_return std::nullopt;
}
