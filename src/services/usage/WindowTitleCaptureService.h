#pragma once

#include "services/usage/FrontApplication.h"
#include "services/usage/WindowTitleCapture.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

class DeepContextSource;
class FrontAppSource;
class PrivacyRedaction;
class SettingsStore;

// Captures the title of the front window on a timer ("windowTitleCaptureInterval", 30 s by default)
// and once for each newly activated application, redacts it, adds deep context (browser address,
// e-mail subject) and hands each capture to the tracker. Deep context is awaited (its sources answer
// within short time-outs, off the GUI thread); a capture still waiting for it when capture stops is
// not delivered.
//
// A redacted capture keeps only "[Redacted]": no address and no e-mail fields. A redacted address is
// cut to its host; a redacted e-mail subject is dropped. An application's title is asked for deep
// context again on the next capture while it has given none (Firefox saves a new tab only after
// some seconds); once it answered, an unchanged title is captured without asking again.
class WindowTitleCaptureService : public QObject {
    Q_OBJECT

public:
    using Callback = std::function<void(const WindowTitleCapture&, const QString& appId)>;

    WindowTitleCaptureService(FrontAppSource& frontApps, const SettingsStore& settings,
                              const PrivacyRedaction& privacy, DeepContextSource* deepContext = nullptr,
                              QObject* parent = nullptr);

    // Starts periodic capture unless "isWindowTitleTrackingEnabled" is off or titles cannot be read.
    void startCapture(Callback onTitleCaptured);
    void stopCapture();
    bool isCapturing() const { return m_timer.isActive(); }
    int intervalMSecs() const { return m_timer.interval(); }

    using Capture = std::pair<WindowTitleCapture, QString>;

    // One capture of the given application, delivered through the callback once its deep context is
    // known; always asks for deep context.
    void captureWindowTitle(const FrontApplication& application);
    // One capture of the frontmost application, with its application id.
    QCoro::Task<std::optional<Capture>> captureWindowTitle();

private:
    WindowTitleCapture makeCapture(const QString& title, const QString& appId) const;
    // The capture with the deep context of its application; remembers the title once it answered.
    QCoro::Task<WindowTitleCapture> withDeepContext(WindowTitleCapture capture, QString rawTitle,
                                                    QString appId);
    QCoro::Task<> captureApplication(FrontApplication application);
    QCoro::Task<> captureAndDeliver();
    void deliver(const WindowTitleCapture& capture, const QString& appId, quint64 generation);

    FrontAppSource& m_frontApps;
    const SettingsStore& m_settings;
    const PrivacyRedaction& m_privacy;
    DeepContextSource* m_deepContext;
    QTimer m_timer;
    Callback m_onTitleCaptured;
    QHash<QString, QString> m_lastTitleByApp;
    // Counts starts and stops, so that a capture begun before one is not delivered after it.
    quint64 m_generation = 0;
};
