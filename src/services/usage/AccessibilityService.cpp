#include "services/usage/AccessibilityService.h"

#include "core/Clock.h"
#include "core/UserDefaultsServiceProtocol.h"
#include "platform/FrontAppSource.h"
#include "services/usage/DeepContext.h"
#include "services/usage/PrivacyRedactionService.h"
#include "services/usage/UsageConsole.h"

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
    connect(&m_timer, &QTimer::timeout, this, &AccessibilityService::captureAndDeliver);
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
    captureAndDeliver();
}

void AccessibilityService::stopCapture() {
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

void AccessibilityService::applyDeepContext(WindowTitleCapture& capture, const QString& rawTitle,
                                            const QString& bundleIdentifier) {
    // A redacted title keeps nothing that could tell what it was.
    if (capture.isRedacted || !m_deepContext) {
        return;
    }
    const std::optional<DeepContext> context = m_deepContext->getContext(bundleIdentifier, rawTitle);
    if (!context) {
        return;
    }
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
}

std::optional<std::pair<WindowTitleCapture, QString>> AccessibilityService::captureWindowTitle() {
    const std::optional<FrontWindow> window = m_frontApps.frontmostWindow();
    if (!window) {
        return std::nullopt;
    }
    const std::optional<FrontApplication> application = FrontApplication::from(*window);
    const std::optional<QString> title = m_frontApps.windowTitle(window->windowId);
    if (!title || title->isEmpty()) {
        return std::nullopt;
    }
    WindowTitleCapture capture = makeCapture(*title, application->bundleIdentifier);
    const auto last = m_lastTitleByApp.constFind(application->bundleIdentifier);
    if (last != m_lastTitleByApp.cend() && *last == *title) {
        return std::make_pair(std::move(capture), application->bundleIdentifier);
    }
    m_lastTitleByApp.insert(application->bundleIdentifier, *title);
    applyDeepContext(capture, *title, application->bundleIdentifier);
    return std::make_pair(std::move(capture), application->bundleIdentifier);
}

void AccessibilityService::captureWindowTitle(const FrontApplication& application) {
    if (!m_settings.isWindowTitleTrackingEnabled() || !m_frontApps.canReadWindowTitles() ||
        application.bundleIdentifier.isEmpty()) {
        return;
    }
    const std::optional<QString> title = m_frontApps.windowTitle(application.windowId);
    if (!title || title->isEmpty()) {
        return;
    }
    WindowTitleCapture capture = makeCapture(*title, application.bundleIdentifier);
    m_lastTitleByApp.insert(application.bundleIdentifier, *title);
    applyDeepContext(capture, *title, application.bundleIdentifier);
    if (m_onTitleCaptured) {
        m_onTitleCaptured(capture, application.bundleIdentifier);
    }
}

void AccessibilityService::captureAndDeliver() {
    std::optional<std::pair<WindowTitleCapture, QString>> result = captureWindowTitle();
    if (result && m_onTitleCaptured) {
        m_onTitleCaptured(result->first, result->second);
    }
}
