#include "services/usage/WindowTitleCaptureService.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/SettingsStore.h"
#include "platform/FrontAppSource.h"
#include "services/usage/DeepContext.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/UsageConsole.h"

#include <QPointer>
#include <QUrl>

WindowTitleCaptureService::WindowTitleCaptureService(FrontAppSource& frontApps, const SettingsStore& settings,
                                                     const PrivacyRedaction& privacy,
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

void WindowTitleCaptureService::startCapture(Callback onTitleCaptured) {
    if (!m_settings.isWindowTitleTrackingEnabled()) {
        return;
    }
    if (!m_frontApps.canReadWindowTitles()) {
        usageconsole::print(QStringLiteral(
            "WindowTitleCaptureService: No permission for window title capture - prompting user"));
        return;
    }
    stopCapture();
    m_onTitleCaptured = std::move(onTitleCaptured);
    m_lastTitleByApp.clear();
    usageconsole::print(
        QStringLiteral("WindowTitleCaptureService: Cleared title cache for fresh deep context fetch"));
    m_timer.start(m_settings.windowTitleCaptureInterval() * 1000);
    ++m_generation;
    runDetached(captureAndDeliver(), QStringLiteral("Window title capture failed"),
                Log::Category::accessibility);
}

void WindowTitleCaptureService::stopCapture() {
    ++m_generation;
    m_timer.stop();
    m_onTitleCaptured = nullptr;
}

WindowTitleCapture WindowTitleCaptureService::makeCapture(const QString& title, const QString& appId) const {
    WindowTitleCapture capture;
    capture.id = QUuid::createUuid();
    capture.capturedAt = Clock::now();
    capture.isRedacted = m_privacy.shouldRedactTitle(title, appId);
    capture.title = capture.isRedacted ? QStringLiteral("[Redacted]") : title;
    return capture;
}

QCoro::Task<WindowTitleCapture> WindowTitleCaptureService::withDeepContext(WindowTitleCapture capture,
                                                                           QString rawTitle, QString appId) {
    // A redacted title keeps nothing that could tell what it was.
    if (capture.isRedacted || !m_deepContext) {
        m_lastTitleByApp.insert(appId, rawTitle);
        co_return capture;
    }
    const QPointer<WindowTitleCaptureService> self(this);
    const std::optional<DeepContext> context = co_await m_deepContext->getContext(appId, rawTitle);
    if (!self || !context) {
        co_return capture;
    }
    m_lastTitleByApp.insert(appId, rawTitle);
    if (context->url) {
        if (m_privacy.shouldRedactURL(*context->url)) {
            const QUrl url(*context->url);
            capture.url =
                url.isValid() && !url.host().isEmpty() ? std::optional<QString>(url.host()) : std::nullopt;
        } else {
            capture.url = context->url;
        }
    }
    if (context->emailSubject && !m_privacy.shouldRedactTitle(*context->emailSubject, appId)) {
        capture.emailSubject = context->emailSubject;
    }
    capture.emailSender = context->emailSender;
    capture.emailMailbox = context->emailMailbox;
    co_return capture;
}

QCoro::Task<std::optional<WindowTitleCaptureService::Capture>>
WindowTitleCaptureService::captureWindowTitle() {
    const std::optional<FrontWindow> window = m_frontApps.frontmostWindow();
    if (!window) {
        co_return std::nullopt;
    }
    const FrontApplication application = FrontApplication::from(*window);
    const std::optional<QString> title = m_frontApps.windowTitle(window->windowId);
    if (!title || title->isEmpty()) {
        co_return std::nullopt;
    }
    WindowTitleCapture capture = makeCapture(*title, application.appId);
    const auto last = m_lastTitleByApp.constFind(application.appId);
    if (last != m_lastTitleByApp.cend() && *last == *title) {
        co_return std::make_pair(std::move(capture), application.appId);
    }
    const WindowTitleCapture withContext =
        co_await withDeepContext(std::move(capture), *title, application.appId);
    co_return std::make_pair(withContext, application.appId);
}

void WindowTitleCaptureService::captureWindowTitle(const FrontApplication& application) {
    if (!m_settings.isWindowTitleTrackingEnabled() || !m_frontApps.canReadWindowTitles() ||
        application.appId.isEmpty()) {
        return;
    }
    runDetached(captureApplication(application), QStringLiteral("Window title capture failed"),
                Log::Category::accessibility);
}

QCoro::Task<> WindowTitleCaptureService::captureApplication(FrontApplication application) {
    const std::optional<QString> title = m_frontApps.windowTitle(application.windowId);
    if (!title || title->isEmpty()) {
        co_return;
    }
    const QPointer<WindowTitleCaptureService> self(this);
    const quint64 generation = m_generation;
    WindowTitleCapture capture = makeCapture(*title, application.appId);
    const WindowTitleCapture withContext =
        co_await withDeepContext(std::move(capture), *title, application.appId);
    if (self) {
        deliver(withContext, application.appId, generation);
    }
}

QCoro::Task<> WindowTitleCaptureService::captureAndDeliver() {
    const QPointer<WindowTitleCaptureService> self(this);
    const quint64 generation = m_generation;
    const std::optional<Capture> result = co_await captureWindowTitle();
    if (self && result) {
        deliver(result->first, result->second, generation);
    }
}

void WindowTitleCaptureService::deliver(const WindowTitleCapture& capture, const QString& appId,
                                        quint64 generation) {
    // A capture begun before a stop (or a new start) belongs to no one now.
    if (generation == m_generation && m_onTitleCaptured) {
        m_onTitleCaptured(capture, appId);
    }
}
