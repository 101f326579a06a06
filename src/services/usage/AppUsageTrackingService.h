#pragma once

#include "services/usage/AppUsageSession.h"
#include "services/usage/CompactSessionList.h"
#include "services/usage/DailyUsageSummary.h"
#include "services/usage/FrontApplication.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QTimer>

#include <optional>

class WindowTitleCaptureService;
class AppUsageStorageService;
class FrontAppSource;
class IdleSource;
class SettingsStore;

// Records which application is in front: one session per continuous stretch in which one application
// is in front and the user is not idle, tagged with the ClickUp task that ran when it started and
// filled with window-title captures. Ended sessions are kept in todaySessions, in a compact form (see
// CompactSessionList) from which each call makes the full records, and written to the day file of the
// day they started every 300 s, when tracking stops, and at quit. GUI thread only.
//
// Start and stop run to their end without waiting, one after the other; after a stop no observer,
// timer or capture is left, so no session can open. Sessions of an earlier day still in memory after
// midnight are written to their own day's file by the next save and leave the list.
class AppUsageTrackingService : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isTracking READ isTracking NOTIFY isTrackingChanged)
    Q_PROPERTY(bool isUserIdle READ isUserIdle NOTIFY isUserIdleChanged)
    Q_PROPERTY(QString saveError READ saveError NOTIFY saveErrorChanged)

public:
    static constexpr double idleThresholdSeconds = 300;
    static constexpr int saveIntervalSeconds = 300;
    static constexpr int idleCheckIntervalSeconds = 30;

    AppUsageTrackingService(AppUsageStorageService& storage, FrontAppSource& frontApps, IdleSource& idle,
                            WindowTitleCaptureService& accessibility, const SettingsStore& settings,
                            QObject* parent = nullptr);
    ~AppUsageTrackingService() override;

    bool isTracking() const { return m_isTracking; }
    bool isUserIdle() const { return m_isUserIdle; }
    const std::optional<AppUsageSession>& currentSession() const { return m_currentSession; }
    // Ended sessions in the order they ended (the open session is not among them).
    QList<AppUsageSession> todaySessions() const { return m_todaySessions.sessions(); }
    // The sessions of todaySessions that started today.
    QList<AppUsageSession> sessionsStartedToday() const;
    const std::optional<QString>& currentClickUpTaskId() const { return m_currentClickUpTaskId; }
    // Why the last save failed; empty once a save succeeds. Sessions that could not be written stay
    // in memory and go into the next save.
    const QString& saveError() const { return m_saveError; }

    // The store the tracker keeps its day files in.
    AppUsageStorageService& storage() const { return m_storage; }

    // The running timer's task id; read only when a session starts.
    void setCurrentClickUpTaskId(const std::optional<QString>& taskId);
    // For the report window clearing the current day: the open session is dropped, not ended.
    void setTodaySessions(const QList<AppUsageSession>& sessions);
    void setCurrentSession(const std::optional<AppUsageSession>& session);

    void startTracking();
    // Ends the open session, stops observing, the timers and the capture, then saves.
    void stopTracking();
    // Deletes the day files older than that many days.
    void cleanupOldData(int olderThanDays);
    // The stored sessions of that day that started on it; none when there are none or the file
    // cannot be read.
    std::optional<DailyUsageSummary> getSummary(QDate day);

    // The timers' periods, for tests.
    QTimer& idleTimer() { return m_idleTimer; }
    QTimer& saveTimer() { return m_saveTimer; }

    // Runs one idle check or one save now. The save writes today's file before it returns; the
    // periodic one (saveDataInBackground, what the timer runs) leaves the writing and flushing of that
    // file to the storage's writer thread, so that it does not hold up the GUI.
    void checkIdleState();
    void saveData();
    void saveDataInBackground();

Q_SIGNALS:
    void isTrackingChanged();
    void isUserIdleChanged();
    void currentSessionChanged();
    void todaySessionsChanged();
    void currentClickUpTaskIdChanged();
    void saveErrorChanged();

private:
    void handleAppActivation(const FrontApplication& application);
    void handleWindowTitleCapture(const WindowTitleCapture& capture, const QString& appId);
    void startNewSession(const QString& appId, const QString& appName);
    void endCurrentSession();
    void setTracking(bool tracking);
    void setUserIdle(bool idle);
    void save(bool todayInBackground);
    // Writes the sessions that started before today into their days' files and drops those written
    // from the list; whether all of them were written.
    bool saveEarlierDays(qint64 todayStart);
    void saveFailed(const QString& reason);
    void setSaveError(const QString& reason);

    AppUsageStorageService& m_storage;
    FrontAppSource& m_frontApps;
    IdleSource& m_idle;
    WindowTitleCaptureService& m_accessibility;
    const SettingsStore& m_settings;

    bool m_isTracking = false;
    bool m_isUserIdle = false;
    std::optional<AppUsageSession> m_currentSession;
    CompactSessionList m_todaySessions;
    std::optional<QString> m_currentClickUpTaskId;
    QString m_saveError;
    QTimer m_idleTimer;
    QTimer m_saveTimer;
    QMetaObject::Connection m_activationConnection;
};
