#include "platform/WebAuthenticationSession.h"

#include "core/Log.h"
#include "platform/WebAuthenticationError.h"
#include "platform/WebHelperProcess.h"
#include "platform/WebHelperProtocol.h"

#include <QCoroSignal>

#include <memory>
#include <optional>

namespace {
// The sign-in window of the whole process (there is at most one).
QPointer<WebHelperProcess>& currentSignIn() {
    static QPointer<WebHelperProcess> helper;
    return helper;
}

// Owned by the sign-in coroutine. Once the helper has ended it goes through the event loop, since
// the coroutine resumes from the helper's own signal; a helper still running (the coroutine was
// dropped) is ended at once.
struct HelperDeleter {
    void operator()(WebHelperProcess* helper) const {
        helper->disconnect();
        if (helper->isRunning()) {
            delete helper;
        } else {
            helper->deleteLater();
        }
    }
};

struct SignInProgress {
    bool shown = false;
    std::optional<QUrl> callback;
};
} // namespace

WebAuthenticationSession::WebAuthenticationSession(QObject* parent)
    : QObject(parent)
    , m_program(WebHelperProcess::defaultProgram()) {}

WebAuthenticationSession::~WebAuthenticationSession() {
    cancel();
}

void WebAuthenticationSession::cancel() {
    if (m_helper) {
        m_helper->stop();
    }
}

bool WebAuthenticationSession::isRunning() const {
    return m_helper && m_helper->isRunning();
}

qint64 WebAuthenticationSession::processId() const {
    return isRunning() ? m_helper->processId() : 0;
}

QCoro::Task<QUrl> WebAuthenticationSession::authenticate(QUrl loginUrl, QString callbackScheme) {
    const QString scheme = callbackScheme.toLower();
    if (!WebHelperProcess::isWebAddress(loginUrl)) {
        Log::warning(QStringLiteral("Sign-in refused: the login address is not an http or https address"),
                     Log::Category::api);
        throw WebAuthenticationError::startFailed(QStringLiteral("the login address is not a web address"));
    }
    if (scheme.isEmpty()) {
        throw WebAuthenticationError::startFailed(QStringLiteral("no callback scheme"));
    }

    if (currentSignIn()) {
        currentSignIn()->stop();
    }
    std::unique_ptr<WebHelperProcess, HelperDeleter> helper(new WebHelperProcess);
    m_helper = helper.get();
    currentSignIn() = helper.get();

    auto progress = std::make_shared<SignInProgress>();
    connect(helper.get(), &WebHelperProcess::lineReceived, helper.get(),
            [progress, scheme](const QByteArray& line) {
                if (line == WebHelperProtocol::shownLine) {
                    progress->shown = true;
                } else if (line.startsWith(WebHelperProtocol::callbackPrefix) && !progress->callback) {
                    const QUrl url = QUrl::fromEncoded(line.mid(WebHelperProtocol::callbackPrefix.size()),
                                                       QUrl::StrictMode);
                    if (url.isValid() && url.scheme().toLower() == scheme) {
                        progress->callback = url;
                    }
                }
            });

    Log::info(QStringLiteral("Opening the sign-in window for %1").arg(loginUrl.host()), Log::Category::api);
    helper->start(m_program, {QStringLiteral("sign-in"), QStringLiteral("--callback-scheme=") + scheme,
                              QStringLiteral("--"), QString::fromLatin1(loginUrl.toEncoded())});

    const QPointer<WebAuthenticationSession> self(this);
    if (!helper->hasEnded()) {
        co_await qCoro(helper.get(), &WebHelperProcess::ended);
    }
    if (self && self->m_helper == helper.get()) {
        self->m_helper = nullptr;
    }

    if (progress->callback) {
        Log::info(QStringLiteral("Sign-in callback received"), Log::Category::api);
        co_return *progress->callback;
    }
    if (helper->failedToStart()) {
        Log::error(QStringLiteral("Could not start the sign-in window: %1").arg(helper->errorText()),
                   Log::Category::api);
        throw WebAuthenticationError::startFailed(helper->errorText());
    }
    if (helper->stopRequested() ||
        (!helper->crashed() && helper->exitCode() == WebHelperProtocol::exitCancelled)) {
        Log::info(QStringLiteral("Sign-in window closed without a callback"), Log::Category::api);
        throw WebAuthenticationError::cancelled();
    }
    const QString how = helper->crashed() ? QStringLiteral("it crashed")
                                          : QStringLiteral("exit code %1").arg(helper->exitCode());
    if (!progress->shown) {
        Log::error(QStringLiteral("The sign-in window did not open (%1)").arg(how), Log::Category::api);
        throw WebAuthenticationError::startFailed(
            QStringLiteral("the helper ended before its window appeared (%1)").arg(how));
    }
    Log::error(QStringLiteral("The sign-in window ended unexpectedly (%1)").arg(how), Log::Category::api);
    throw WebAuthenticationError::failed(how);
}
