#include "services/usage/AppUsageTrackingService.h"

#include "core/Clock.h"
#include "core/Error.h"
#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/FrontAppSource.h"
#include "platform/IdleSource.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/UsageConsole.h"
#include "services/usage/UsageDay.h"
#include "services/usage/WindowTitleCaptureService.h"

#include <QMap>
#include <QPointer>

using usageconsole::tracking;

AppUsageTrackingService::AppUsageTrackingService(AppUsageStorageService& storage, FrontAppSource& frontApps,
                                                 IdleSource& idle, WindowTitleCaptureService& accessibility,
                                                 const SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_storage(storage)
    , m_frontApps(frontApps)
    , m_idle(idle)
    , m_accessibility(accessibility)
    , m_settings(settings) {
    m_idleTimer.setInterval(idleCheckIntervalSeconds * 1000);
    m_saveTimer.setInterval(saveIntervalSeconds * 1000);
    connect(&m_idleTimer, &QTimer::timeout, this, &AppUsageTrackingService::checkIdleState);
    connect(&m_saveTimer, &QTimer::timeout, this, &AppUsageTrackingService::saveDataInBackground);
}

AppUsageTrackingService::~AppUsageTrackingService() {
    disconnect(m_activationConnection);
}

QList<AppUsageSession> AppUsageTrackingService::sessionsStartedToday() const {
    return m_todaySessions.sessionsStartedOn(usageday::of(Clock::now()));
}

void AppUsageTrackingService::setTracking(bool tracking) {
    if (m_isTracking != tracking) {
        m_isTracking = tracking;
        Q_EMIT isTrackingChanged();
    }
}

void AppUsageTrackingService::setUserIdle(bool idle) {
    if (m_isUserIdle != idle) {
        m_isUserIdle = idle;
        Q_EMIT isUserIdleChanged();
    }
}

void AppUsageTrackingService::setCurrentClickUpTaskId(const std::optional<QString>& taskId) {
    if (m_currentClickUpTaskId != taskId) {
        m_currentClickUpTaskId = taskId;
        Q_EMIT currentClickUpTaskIdChanged();
    }
}

void AppUsageTrackingService::setTodaySessions(const QList<AppUsageSession>& sessions) {
    // The kept sessions are read back for the comparison only when the counts match.
    if (sessions.size() == m_todaySessions.size() && m_todaySessions.sessions() == sessions) {
        return;
    }
    m_todaySessions = CompactSessionList(sessions);
    Q_EMIT todaySessionsChanged();
}

void AppUsageTrackingService::setCurrentSession(const std::optional<AppUsageSession>& session) {
    if (m_currentSession != session) {
        m_currentSession = session;
        Q_EMIT currentSessionChanged();
    }
}

void AppUsageTrackingService::startTracking() {
    if (m_isTracking) {
        return;
    }
    setTracking(true);

    try {
        setTodaySessions(m_storage.load(usageday::of(Clock::now())));
        tracking(QStringLiteral("Loaded %1 sessions from disk").arg(m_todaySessions.size()));
    } catch (const std::exception& error) {
        setTodaySessions({});
        tracking(QStringLiteral("Failed to load sessions: ") + Error::describe(error));
    }

    m_activationConnection =
        connect(&m_frontApps, &FrontAppSource::activated, this,
                [this](const FrontWindow& window) { handleAppActivation(FrontApplication::from(window)); });
    m_frontApps.startObserving();
    m_idleTimer.start();
    m_saveTimer.start();
    const QPointer<AppUsageTrackingService> self(this);
    m_accessibility.startCapture([self](const WindowTitleCapture& capture, const QString& appId) {
        if (self) {
            self->handleWindowTitleCapture(capture, appId);
        }
    });
    if (const std::optional<FrontWindow> front = m_frontApps.frontmostWindow()) {
        handleAppActivation(FrontApplication::from(*front));
    }
    tracking(QStringLiteral("Started tracking"));
}

void AppUsageTrackingService::stopTracking() {
    if (!m_isTracking) {
        return;
    }
    // Nothing may open a session from here on: the observer, the timers and the capture go first.
    disconnect(m_activationConnection);
    m_frontApps.stopObserving();
    m_idleTimer.stop();
    m_saveTimer.stop();
    m_accessibility.stopCapture();
    endCurrentSession();
    saveData();
    setTracking(false);
    tracking(QStringLiteral("Stopped tracking"));
}

void AppUsageTrackingService::handleAppActivation(const FrontApplication& application) {
    if (!m_isTracking) {
        return;
    }
    const QString appId = application.appId.isEmpty() ? QStringLiteral("unknown") : application.appId;
    const QString name = application.name.isEmpty() ? QStringLiteral("Unknown App") : application.name;
    if (m_settings.excludedAppsFromTracking().contains(appId)) {
        return;
    }
    endCurrentSession();
    if (m_isUserIdle) {
        return;
    }
    startNewSession(appId, name);
    FrontApplication front = application;
    front.appId = appId;
    m_accessibility.captureWindowTitle(front);
}

void AppUsageTrackingService::startNewSession(const QString& appId, const QString& appName) {
    AppUsageSession session;
    session.id = QUuid::createUuid();
    session.appId = appId;
    session.appName = appName;
    session.startTime = Clock::now();
    session.clickUpTaskId = m_currentClickUpTaskId;
    setCurrentSession(session);
    tracking(QStringLiteral("Started session: ") + appName);
}

void AppUsageTrackingService::endCurrentSession() {
    if (!m_currentSession) {
        return;
    }
    AppUsageSession session = *m_currentSession;
    if (!session.endTime) {
        session.endTime = Clock::now();
        session.projectContext = session.dominantContext();
    }
    if (session.duration() > 1.0) {
        m_todaySessions.append(session);
        Q_EMIT todaySessionsChanged();
        tracking(QStringLiteral("Ended session: %1 (%2)").arg(session.appName, session.formattedDuration()));
    }
    setCurrentSession(std::nullopt);
}

void AppUsageTrackingService::handleWindowTitleCapture(const WindowTitleCapture& capture,
                                                       const QString& appId) {
    if (!m_currentSession || m_currentSession->appId != appId) {
        return;
    }
    AppUsageSession session = *m_currentSession;
    session.addCapture(capture);
    setCurrentSession(session);
    tracking(QStringLiteral("Captured window title for ") + session.appName);
}

void AppUsageTrackingService::checkIdleState() {
    const double idleSeconds = m_idle.idleSeconds();
    const bool wasIdle = m_isUserIdle;
    setUserIdle(idleSeconds > idleThresholdSeconds);
    if (!wasIdle && m_isUserIdle) {
        endCurrentSession();
        tracking(QStringLiteral("User went idle"));
    } else if (wasIdle && !m_isUserIdle) {
        if (const std::optional<FrontWindow> front = m_frontApps.frontmostWindow()) {
            handleAppActivation(FrontApplication::from(*front));
        }
        tracking(QStringLiteral("User returned from idle"));
    }
}

void AppUsageTrackingService::saveData() {
    save(false);
}

void AppUsageTrackingService::saveDataInBackground() {
    save(true);
}

void AppUsageTrackingService::save(bool todayInBackground) {
    const QDate today = usageday::of(Clock::now());
    const qint64 todayStart = usageday::start(today).toMSecsSinceEpoch();
    // Each session belongs to the file of the day it started. Sessions of earlier days are merged into
    // their day's file and then leave the list; if that fails they stay and are tried again.
    bool earlierSaved = true;
    if (m_todaySessions.hasSessionStartedBefore(todayStart)) {
        earlierSaved = saveEarlierDays(todayStart);
    }
    try {
        // Today's file is written straight from the compact form, without making the records.
        qsizetype count = 0;
        QByteArray bytes = m_todaySessions.dayFile(usageday::key(today), todayStart, &count);
        if (todayInBackground) {
            const QPointer<AppUsageTrackingService> self(this);
            AppUsageStorageService::WriteDone written =
                [self, count, earlierSaved](const std::optional<UsageStorageError>& error) {
                    if (!self) {
                        return;
                    }
                    if (error) {
                        self->saveFailed(Error::describe(*error));
                    } else {
                        tracking(QStringLiteral("Saved %1 sessions to disk").arg(count));
                        if (earlierSaved) {
                            self->setSaveError({});
                        }
                    }
                };
            m_storage.saveEncodedInBackground(std::move(bytes), today, this, std::move(written));
        } else {
            m_storage.saveEncoded(bytes, today);
            tracking(QStringLiteral("Saved %1 sessions to disk").arg(count));
            if (earlierSaved) {
                setSaveError({});
            }
        }
    } catch (const std::exception& error) {
        saveFailed(Error::describe(error));
    }
}

bool AppUsageTrackingService::saveEarlierDays(qint64 todayStart) {
    QMap<QDate, QList<AppUsageSession>> earlier;
    QList<AppUsageSession> remaining;
    const QList<AppUsageSession> sessions = m_todaySessions.sessions();
    for (const AppUsageSession& session : sessions) {
        if (session.startTime.isValid() && session.startTime.toMSecsSinceEpoch() >= todayStart) {
            remaining.append(session);
        } else {
            earlier[usageday::of(session.startTime)].append(session);
        }
    }
    QList<AppUsageSession> kept;
    for (auto it = earlier.cbegin(); it != earlier.cend(); ++it) {
        try {
            QList<AppUsageSession> stored;
            try {
                stored = m_storage.load(it.key());
            } catch (const std::exception&) {
                // The damaged file is moved aside by the save below.
            }
            for (const AppUsageSession& session : it.value()) {
                auto same = std::find_if(stored.begin(), stored.end(),
                                         [&session](const AppUsageSession& s) { return s.id == session.id; });
                if (same != stored.end()) {
                    *same = session;
                } else {
                    stored.append(session);
                }
            }
            m_storage.save(stored, it.key());
            tracking(QStringLiteral("Saved %1 sessions of %2 to disk")
                         .arg(it.value().size())
                         .arg(usageday::key(it.key())));
        } catch (const std::exception& error) {
            saveFailed(Error::describe(error));
            kept.append(it.value());
        }
    }
    const bool allSaved = kept.isEmpty();
    kept.append(remaining);
    setTodaySessions(kept);
    return allSaved;
}

void AppUsageTrackingService::saveFailed(const QString& reason) {
    // Nothing is dropped: today's sessions stay in the list, which every save writes whole, and
    // earlier days' sessions stay until their file is written.
    tracking(QStringLiteral("Failed to save: ") + reason);
    Log::error(QStringLiteral("Usage data could not be saved: ") + reason, Log::Category::appUsage);
    setSaveError(reason);
}

void AppUsageTrackingService::setSaveError(const QString& reason) {
    if (m_saveError != reason) {
        m_saveError = reason;
        Q_EMIT saveErrorChanged();
    }
}

void AppUsageTrackingService::cleanupOldData(int olderThanDays) {
    try {
        m_storage.cleanup(olderThanDays);
        tracking(QStringLiteral("Cleaned up data older than %1 days").arg(olderThanDays));
    } catch (const std::exception& error) {
        tracking(QStringLiteral("Failed to cleanup: ") + Error::describe(error));
    }
}

std::optional<DailyUsageSummary> AppUsageTrackingService::getSummary(QDate day) {
    try {
        const QList<AppUsageSession> stored = m_storage.load(day);
        QList<AppUsageSession> sessions;
        for (const AppUsageSession& session : stored) {
            if (usageday::of(session.startTime) == day) {
                sessions.append(session);
            }
        }
        if (sessions.isEmpty()) {
            return std::nullopt;
        }
        return DailyUsageSummary{day, sessions, std::nullopt, std::nullopt};
    } catch (const std::exception& error) {
        tracking(QStringLiteral("Failed to load summary: ") + Error::describe(error));
        return std::nullopt;
    }
}
