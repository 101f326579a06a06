#pragma once

#include "core/Error.h"

#include <QString>

// How a web sign-in (WebAuthenticationSession) ended without a callback:
// - cancelled: the user closed the sign-in window, or the session was cancelled or replaced;
// - startFailed: the sign-in window could not be opened (the helper is missing, cannot run, refused
//   the address, or ended before its window appeared);
// - failed: the sign-in window went away unexpectedly after it had appeared (a crash).
class WebAuthenticationError : public Error {
public:
    enum class Kind { cancelled, startFailed, failed };

    static WebAuthenticationError cancelled();
    static WebAuthenticationError startFailed(const QString& reason);
    static WebAuthenticationError failed(const QString& reason);

    Kind kind() const { return m_kind; }
    // What went wrong, for the log; empty for cancelled.
    QString reason() const { return m_reason; }

    // "The sign-in window was closed", "Could not open the sign-in window: <reason>",
    // "The sign-in window ended unexpectedly: <reason>".
    QString description() const override;

private:
    WebAuthenticationError(Kind kind, QString reason);

    Kind m_kind;
    QString m_reason;
};
