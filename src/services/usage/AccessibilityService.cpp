#include "services/usage/AccessibilityService.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/UserDefaultsServiceProtocol.h"
#include "platform/FrontAppSource.h"
#include "services/usage/DeepContext.h"
#include "services/usage/PrivacyRedactionService.h"
#include "services/usage/UsageConsole.h"

#include <QPointer>
#include <QUrl>

AccessibilityService::AccessibilityService(FrontAppSource& frontApps,
                                           const UserDefaultsServiceProtocol& settings,
                                           const PrivacyRedactionService& privacy,
                                           DeepContextSource* deepContext, QObject* parent)
    : QObject(parent)
    , m_frontApps(frontApps)
    , m_settings(settings)
    , m_privacy(privacy)
    , m_deepContext(deepContext) {
    connect(&m_timer, &QTimer::timeout, this, [this] {
        runDetached(captureAndDeliver(), QStringLiteral("Window title capture failed"),
                    Log::Category::accessibility);
    });
}

void AccessibilityService::startCapture(Callback onTitleCaptured) {
    if (!m_settings.isWindowTitleTrackingEnabled()) {
        return;
    }
    if (!m_frontApps.canReadWindowTitles()) {
        usageconsole::print(
            QStringLiteral("AccessibilityService: No permission for window title capture - prompting user"));
        return;
    }
    stopCapture();
    m_onTitleCaptured = std::move(onTitleCaptured);
    m_lastTitleByApp.clear();
    usageconsole::print(
        QStringLiteral("AccessibilityService: Cleared title cache for fresh deep context fetch"));
    m_timer.start(m_settings.windowTitleCaptureInterval() * 1000);
    ++m_generation;
    runDetached(captureAndDeliver(), QStringLiteral("Window title capture failed"),
                Log::Category::accessibility);
}

void AccessibilityService::stopCapture() {
    ++m_generation;
    m_timer.stop();
    m_onTitleCaptured = nullptr;
}

WindowTitleCapture AccessibilityService::makeCapture(const QString& title,
                                                     const QString& bundleIdentifier) const {
    WindowTitleCapture capture;
    capture.id = QUuid::createUuid();
    capture.capturedAt = Clock::now();
    capture.isRedacted = m_privacy.shouldRedactTitle(title, bundleIdentifier);
    capture.title = capture.isRedacted ? QStringLiteral("[Redacted]") : title;
    return capture;
}

QCoro::Task<WindowTitleCapture> AccessibilityService::withDeepContext(WindowTitleCapture capture,
                                                                      QString rawTitle,
                                                                      QString bundleIdentifier) {
    // A redacted title keeps nothing that could tell what it was.
    if (capture.isRedacted || !m_deepContext) {
        m_lastTitleByApp.insert(bundleIdentifier, rawTitle);
        co_return capture;
    }
    const QPointer<AccessibilityService> self(this);
    const std::optional<DeepContext> context = co_await m_deepContext->getContext(bundleIdentifier, rawTitle);
    if (!self || !context) {
        co_return capture;
    }
    m_lastTitleByApp.insert(bundleIdentifier, rawTitle);
    if (context->url) {
        if (m_privacy.shouldRedactURL(*context->url)) {
            const QUrl url(*context->url);
            capture.url =
                url.isValid() && !url.host().isEmpty() ? std::optional<QString>(url.host()) : std::nullopt;
        } else {
            capture.url = context->url;
        }
    }
    if (context->emailSubject && !m_privacy.shouldRedactTitle(*context->emailSubject, bundleIdentifier)) {
        capture.emailSubject = context->emailSubject;
    }
    capture.emailSender = context->emailSender;
    capture.emailMailbox = context->emailMailbox;
    co_return capture;
}

QCoro::Task<std::optional<AccessibilityService::Capture>> AccessibilityService::captureWindowTitle() {
    const std::optional<FrontWindow> window = m_frontApps.frontmostWindow();
    if (!window) {
        co_return std::nullopt;
    }
    const FrontApplication application = FrontApplication::from(*window);
    const std::optional<QString> title = m_frontApps.windowTitle(window->windowId);
    if (!title || title->isEmpty()) {
        co_return std::nullopt;
    }
    WindowTitleCapture capture = makeCapture(*title, application.bundleIdentifier);
    const auto last = m_lastTitleByApp.constFind(application.bundleIdentifier);
    if (last != m_lastTitleByApp.cend() && *last == *title) {
        co_return std::make_pair(std::move(capture), application.bundleIdentifier);
    }
    const WindowTitleCapture withContext =
        co_await withDeepContext(std::move(capture), *title, application.bundleIdentifier);
    co_return std::make_pair(withContext, application.bundleIdentifier);
}

void AccessibilityService::captureWindowTitle(const FrontApplication& application) {
    if (!m_settings.isWindowTitleTrackingEnabled() || !m_frontApps.canReadWindowTitles() ||
        application.bundleIdentifier.isEmpty()) {
        return;
    }
    runDetached(captureApplication(application), QStringLiteral("Window title capture failed"),
                Log::Category::accessibility);
}

QCoro::Task<> AccessibilityService::captureApplication(FrontApplication application) {
    const std::optional<QString> title = m_frontApps.windowTitle(application.windowId);
    if (!title || title->isEmpty()) {
        co_return;
    }
    const QPointer<AccessibilityService> self(this);
    const quint64 generation = m_generation;
    WindowTitleCapture capture = makeCapture(*title, application.bundleIdentifier);
    const WindowTitleCapture withContext =
        co_await withDeepContext(std::move(capture), *title, application.bundleIdentifier);
    if (self) {
        deliver(withContext, application.bundleIdentifier, generation);
    }
}

QCoro::Task<> AccessibilityService::captureAndDeliver() {
    const QPointer<AccessibilityService> self(this);
    const quint64 generation = m_generation;
    const std::optional<Capture> result = co_await captureWindowTitle();
    if (self && result) {
        deliver(result->first, result->second, generation);
    }
}

void AccessibilityService::deliver(const WindowTitleCapture& capture, const QString& bundleIdentifier,
                                   quint64 generation) {
    // A capture begun before a stop (or a new start) belongs to no one now.
    if (generation == m_generation && m_onTitleCaptured) {
        m_onTitleCaptured(capture, bundleIdentifier);
    }
}
