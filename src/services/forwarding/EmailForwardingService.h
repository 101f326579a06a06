#pragma once

#include "core/HttpReply.h"
#include "core/RequestLimits.h"
#include "services/forwarding/ForwardingClient.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class EmailSource;
class SecretStore;
class QNetworkAccessManager;
class SettingsStore;

// Sends the e-mail the user has open (subject and link, from the capture) to the n8n webhook stored
// under "n8nEndpoint" and hands back the address of the ClickUp task the webhook's flow reports.
// Reads the settings and the shared key (secret "n8n-shared-key") anew on every call.
//
// The exchange: one JSON POST, bounded to postTimeout, with "X-Webhook-Key" when a shared key is
// stored (trimmed; a key with a control character inside is never sent). There is no ping first: an
// n8n webhook answers only its own method. The endpoint is read trimmed. Redirects are not followed.
// Certificates are verified; a certificate that does not verify is accepted only when its SHA-256 is
// the pinned one (setting "n8nPinnedCertificateSha256") for the endpoint's host, and one that differs
// from a pin fails as certificateChanged.
//
// Replies: 2xx with {"success": true, "taskUrl": ...} gives taskUrl; {"success": false, ...} fails
// as rejected with its message; a raw ClickUp task gives its url; an empty body or any other 2xx
// body counts as delivered without a task. Another status fails as httpError with n8n's "message";
// a server that cannot be reached as unreachable, naming its scheme, host and port; a body over
// maxReplyBytes as invalidResponse. Payloads, keys and reply bodies go to the debug log only, and
// the log names the server, never the webhook's path or query.
//
// One forward at a time: a second call while one runs fails with alreadyForwarding.
class EmailForwardingService : public QObject, public ForwardingClient {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultPostTimeout{95'000};
    // A POST fails as timed out when no data moves for this long (within postTimeout).
    static constexpr std::chrono::milliseconds postTransferTimeout{60'000};
    static constexpr qint64 defaultMaxReplyBytes = 1024 * 1024;

    EmailForwardingService(SecretStore& keychain, SettingsStore& settings, EmailSource& capture,
                           QObject* parent = nullptr);
    ~EmailForwardingService() override;

    bool isConfigured() const override;
    QCoro::Task<std::optional<QString>> forwardCurrentEmail() override;
    bool isForwarding() const { return m_isForwarding; }

    // The webhook exchange for the given e-mail.
    QCoro::Task<std::optional<QString>> sendToWebhook(QString subject, QString link);
    // The webhook address as stored, without surrounding whitespace.
    QString endpoint() const;
    // "scheme://host[:port]" of the address: what the log and the messages name.
    static QString serverAddress(const QUrl& url);
    // The "message" text of an n8n error body (one line, at most maxServerMessageLength characters),
    // or an empty text.
    static QString serverMessage(const QByteArray& body);
    static constexpr qsizetype maxServerMessageLength = 300;

    // The POST body: nine text members.
    static QJsonObject payload(const QDateTime& now, const QString& subject, const QString& link,
                               const QString& userKey, const QString& toolsUrl, const QString& teamId);
    // The SHA-256 of a certificate's DER form as a pin compares it: lower-case hex, no separators.
    static QString normalizedPin(const QString& text);

    // Tests shorten these.
    void setPostTimeout(std::chrono::milliseconds timeout) { m_postTimeout = timeout; }
    void setMaxReplyBytes(qint64 bytes) { m_maxReplyBytes = bytes; }
    std::chrono::milliseconds postTimeout() const { return m_postTimeout; }

private:
    // The shared key fit for a header: none when not stored or blank; throws invalidSharedKey.
    QCoro::Task<std::optional<QByteArray>> readSharedKey();
    // POSTs the body held to the limits (the reply size limit is the service's own); maps time-out,
    // oversize and certificate failures.
    QCoro::Task<HttpReply> exchange(QNetworkRequest request, QByteArray body, RequestLimits limits);

    SecretStore& m_keychain;
    SettingsStore& m_settings;
    EmailSource& m_capture;
    QNetworkAccessManager* m_network;
    std::chrono::milliseconds m_postTimeout = defaultPostTimeout;
    qint64 m_maxReplyBytes = defaultMaxReplyBytes;
    bool m_isForwarding = false;
};
