#include "services/forwarding/EmailForwarder.h"

#include "core/Error.h"
#include "core/Log.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/ForwardingClient.h"

#include <QPointer>
#include <QTimer>

#include <optional>

namespace {
constexpr auto category = Log::Category::api;
} // namespace

EmailForwarder::EmailForwarder(PageOpener openPage, QObject* parent)
    : QObject(parent)
    , m_openPage(std::move(openPage)) {}

QCoro::Task<> EmailForwarder::forwardCurrentEmail() {
    QPointer<EmailForwarder> self(this);
    std::optional<QString> taskUrl;
    try {
        if (!m_service) {
            throw EmailForwardingError::notConfigured();
        }
        taskUrl = co_await m_service->forwardCurrentEmail();
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Email forwarding failed"), category, error);
        if (self) {
            emit finished(Error::describe(error), false);
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    Log::info(QStringLiteral("Email forwarded successfully to n8n"), category);
    if (!taskUrl || taskUrl->isEmpty()) {
        Log::info(QStringLiteral("No task URL returned from n8n"), category);
        emit finished(QStringLiteral("Email sent to n8n"), true);
        co_return;
    }
    const QUrl url(*taskUrl, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))) {
        // Only web addresses are opened: the webhook's reply is outside input.
        Log::error(QStringLiteral("Invalid task URL format"), category);
        emit finished(QStringLiteral("Email sent to n8n"), true);
        co_return;
    }
    Log::info(QStringLiteral("🌐 Opening ClickUp task in browser: ") + *taskUrl, category);
    emit finished(QStringLiteral("Email sent to n8n; opening the ClickUp task"), true);
    // The task opens through the page opener, in the in-app browser.
    QTimer::singleShot(taskOpenDelayMs, this, [this, url] {
        if (m_openPage) {
            m_openPage(url, QStringLiteral("ClickUp Task"));
        }
    });
}
