#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class ToolsSignIn;
class WebAuthenticationSession;

// The personal sign-in to the Tools server. It opens the plug-in's login page in a sign-in window
// (WebAuthenticationSession), which ends when the page goes on to "pendlow://auth/callback?...";
// from that address it takes the tokens, stores them through the sign-in service, reads the
// user's details (which sets the user key) and reports the outcome.
//
// The login address carries a fresh random state; a callback whose "state" is not that state is
// rejected (AuthError::authenticationFailed), and a state serves one callback only. Tokens and the
// callback address never reach the log.
//
// Outcomes: failures before the window opens go to the completion given to login(); everything
// after goes to completionHandler(), which the caller sets first (usually to the same function).
// Failures: AuthError::invalidURL (no usable login address), authenticationFailed("Failed to start
// authentication session") (the window could not be opened), authenticationCancelled (the user
// closed the window), a WebAuthenticationError of kind failed (the window went away unexpectedly),
// invalidResponse (no usable callback), authenticationFailed with the server's error text, with
// "Missing tokens in callback" or with the state mismatch, or the keychain's error from storing
// the tokens. A failing read of the user's details does not fail the sign-in.
class ToolsLoginCoordinator : public QObject {
    Q_OBJECT

public:
    // Told the outcome: no failure (null) on success.
    using CompletionHandler = std::function<void(std::exception_ptr failure)>;
    using SessionFactory = std::function<std::unique_ptr<WebAuthenticationSession>()>;

    static inline const QString callbackScheme = QStringLiteral("pendlow");
    static constexpr int stateLength = 32;
    static constexpr qint64 defaultExpiresIn = 3600;

    explicit ToolsLoginCoordinator(ToolsSignIn& auth, QObject* parent = nullptr);
    ~ToolsLoginCoordinator() override;

    // Makes the sign-in sessions; a plain WebAuthenticationSession unless set.
    void setSessionFactory(SessionFactory factory) { m_sessionFactory = std::move(factory); }

    void setCompletionHandler(CompletionHandler handler) { m_completionHandler = std::move(handler); }
    bool hasCompletionHandler() const { return bool(m_completionHandler); }
    // The sign-in under way, or the one whose window could not be opened; null once a callback
    // has been handled.
    WebAuthenticationSession* authSession() const { return m_authSession.get(); }

    // Runs one sign-in: returns once its outcome has been reported. A sign-in started while another
    // is under way replaces it (its window closes and its outcome is dropped).
    QCoro::Task<> login(CompletionHandler completion);

    // 32 characters drawn independently and uniformly from a-z, A-Z and 0-9.
    static QString generateState();

    // What the sign-in window gave: the callback address, or the error it ended with. Reports the
    // outcome through completionHandler() and returns once it has.
    QCoro::Task<> handleCallback(std::optional<QUrl> url, std::exception_ptr error);

private:
    void report(std::exception_ptr failure);
    void finish();

    ToolsSignIn& m_auth;
    SessionFactory m_sessionFactory;
    CompletionHandler m_completionHandler;
    std::unique_ptr<WebAuthenticationSession> m_authSession;
    // The state of the login under way; empty when no callback is awaited.
    QString m_sentState;
    // Counts logins, so a replaced one can tell.
    quint64 m_generation = 0;
};
