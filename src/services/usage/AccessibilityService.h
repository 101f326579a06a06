#pragma once

#include "services/usage/FrontApplication.h"
#include "services/usage/WindowTitleCapture.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

class DeepContextSource;
class FrontAppSource;
class PrivacyRedactionService;
class UserDefaultsServiceProtocol;

// Captures the title of the front window on a timer ("windowTitleCaptureInterval", 30 s by default)
// and once for each newly activated application, redacts it, adds deep context (browser address,
// e-mail subject) and hands each capture to the tracker.
//
// A redacted capture keeps only "[Redacted]": no address and no e-mail fields. A redacted address is
// cut to its host; a redacted e-mail subject is dropped.
class AccessibilityService : public QObject {
    Q_OBJECT

public:
    using Callback = std::function<void(const WindowTitleCapture&, const QString& bundleIdentifier)>;

    AccessibilityService(FrontAppSource& frontApps, const UserDefaultsServiceProtocol& settings,
                         const PrivacyRedactionService& privacy, DeepContextSource* deepContext = nullptr,
                         QObject* parent = nullptr);

    // Starts periodic capture unless "isWindowTitleTrackingEnabled" is off or titles cannot be read.
    void startCapture(Callback onTitleCaptured);
    void stopCapture();
    bool isCapturing() const { return m_timer.isActive(); }
    int intervalMSecs() const { return m_timer.interval(); }

    // One capture of the given application, delivered through the callback; always with deep context.
    void captureWindowTitle(const FrontApplication& application);
    // One capture of the frontmost application.
    std::optional<std::pair<WindowTitleCapture, QString>> captureWindowTitle();

private:
    WindowTitleCapture makeCapture(const QString& title, const QString& bundleIdentifier) const;
    void applyDeepContext(WindowTitleCapture& capture, const QString& rawTitle,
                          const QString& bundleIdentifier);
    void captureAndDeliver();

    FrontAppSource& m_frontApps;
    const UserDefaultsServiceProtocol& m_settings;
    const PrivacyRedactionService& m_privacy;
    DeepContextSource* m_deepContext;
    QTimer m_timer;
    Callback m_onTitleCaptured;
    QHash<QString, QString> m_lastTitleByApp;
};
