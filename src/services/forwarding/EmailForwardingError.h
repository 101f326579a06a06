#pragma once

#include "core/Error.h"

#include <QString>

// A failure of e-mail forwarding; description() is the text the popover and the n8n settings tab
// show.
class EmailForwardingError : public Error {
public:
    enum class Kind {
        notConfigured,
        noEmailSelected,
        failedToGetLink,
        invalidEndpoint,
        invalidResponse,
        timeout,
        httpError,
        // The webhook answered "success": false.
        rejected,
        // The server's certificate did not verify and is not the pinned one.
        certificateRejected,
        // The stored shared key cannot go into a header (a control character inside it).
        invalidSharedKey,
        // Another forward is still running.
        alreadyForwarding,
        // A certificate was trusted for the server before, and it now shows another.
        certificateChanged,
        // The server could not be reached (refused, unknown host, connection reset).
        unreachable
    };

    static EmailForwardingError notConfigured();
    static EmailForwardingError noEmailSelected();
    static EmailForwardingError failedToGetLink();
    static EmailForwardingError invalidEndpoint();
    static EmailForwardingError invalidResponse();
    static EmailForwardingError timeout();
    // message: n8n's own explanation from the reply body, or empty.
    static EmailForwardingError httpError(int statusCode, QString message = {});
    static EmailForwardingError rejected(QString message);
    // problems: the verification's findings, one text; sha256: hex SHA-256 of the server
    // certificate's DER form, which the user may pin.
    static EmailForwardingError certificateRejected(QString problems, QString sha256);
    static EmailForwardingError invalidSharedKey();
    static EmailForwardingError alreadyForwarding();
    static EmailForwardingError certificateChanged(QString problems, QString sha256);
    // server: "scheme://host[:port]"; reason: the network's text ("Connection refused").
    static EmailForwardingError unreachable(QString server, QString reason);

    Kind kind() const { return m_kind; }
    int statusCode() const { return m_statusCode; }
    // The webhook's message (rejected, httpError), the certificate's problems (certificateRejected,
    // certificateChanged) or the network's reason (unreachable).
    const QString& message() const { return m_message; }
    // certificateRejected, certificateChanged: the presented certificate's SHA-256 (lower-case hex),
    // else empty.
    const QString& certificateSha256() const { return m_certificateSha256; }
    // unreachable: the server's "scheme://host[:port]", else empty.
    const QString& server() const { return m_server; }

    QString description() const override;

private:
    explicit EmailForwardingError(Kind kind, int statusCode = 0, QString message = {}, QString sha256 = {});

    Kind m_kind;
    int m_statusCode;
    QString m_message;
    QString m_certificateSha256;
    QString m_server;
};
