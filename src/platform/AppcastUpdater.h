#pragma once

#include "platform/AppcastItem.h"
#include "platform/UpdateAlert.h"
#include "platform/UpdateListener.h"

#include <QCoroTask>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

class QNetworkReply;
class UserDefaultsService;

// Our updater: reads an appcast feed (see AppcastParser) over HTTP(S) and tells its delegate whether
// the feed offers a version newer than the running one (by VersionNumber, on the display versions).
//
// A check the user asked for presents its outcome itself: for a newer version an informational alert
// naming it, with a button that opens its download page in the browser (only an http or https page is
// offered); when the running version is the newest, an informational alert saying so. A failed check
// presents nothing: the delegate reports it. Background checks present nothing; their failures are
// logged. Only one check runs at a time; for a found update the check lasts until the user has
// answered its alert.
//
// Once started, a background check runs every 24 hours, the first one when 24 hours have passed since
// the last check, at the earliest one minute after the start. Every finished check stores its time as
// ISO 8601 text under "SULastCheckTime" in the settings.
class AppcastUpdater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)

public:
    static constexpr std::chrono::milliseconds defaultTransferTimeout{60000};
    static constexpr qint64 maximumFeedSize = 4 * 1024 * 1024;
    static constexpr std::chrono::milliseconds backgroundCheckInterval{24 * 3600 * 1000};
    static constexpr std::chrono::milliseconds firstBackgroundCheckDelay{60 * 1000};
    static const QString lastCheckTimeKey; // "SULastCheckTime"

    AppcastUpdater(QUrl feedUrl, QString currentVersion, UserDefaultsService& settings,
                   QObject* parent = nullptr);
    ~AppcastUpdater() override;

    QUrl feedURL() const { return m_feedUrl; }
    QString currentVersion() const { return m_currentVersion; }

    // Told how every check ends; not owned, must outlive the updater or be reset first.
    void setDelegate(UpdateListener* delegate);
    // How the alerts of a user's check are shown; UpdateAlert::showMessageBox unless set.
    void setAlertPresenter(UpdateAlert::Presenter presenter);
    // How long the feed request may stall before the check fails as timed out.
    void setTransferTimeout(std::chrono::milliseconds timeout);

    // Starts the background checks. Later calls do nothing.
    void startUpdater();
    bool isStarted() const { return m_started; }
    // How long from now until the next background check is due, by the stored last check time:
    // 24 hours after it, but no sooner than one minute and no later than 24 hours from now.
    std::chrono::milliseconds nextBackgroundCheckDelay() const;
    // The delay with which the pending background check was planned; none before the start and while
    // a check runs.
    std::optional<std::chrono::milliseconds> plannedBackgroundCheckDelay() const;

    // False while a check runs.
    bool canCheckForUpdates() const { return !m_checking; }
    // A check the user asked for. Ignored (and logged) while another check runs.
    void checkForUpdates();
    // A check nobody waits for. Skipped while another check runs.
    void checkForUpdatesInBackground();

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool canCheckForUpdates);

private:
    QCoro::Task<> runCheck(UpdateCheck check);
    QCoro::Task<QByteArray> fetchFeed();
    void setChecking(bool checking);
    void recordCheckTime();
    void finishCycle(UpdateCheck check, const std::optional<UpdateError>& error);
    void presentUpdate(const AppcastItem& item);
    void presentUpToDate();
    void present(const UpdateAlert& alert, UpdateAlert::Answer answer);

    const QUrl m_feedUrl;
    const QString m_currentVersion;
    UserDefaultsService& m_settings;
    UpdateListener* m_delegate = nullptr;
    UpdateAlert::Presenter m_presenter;
    std::chrono::milliseconds m_transferTimeout = defaultTransferTimeout;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    // False from the start of the destructor on: a check that resumes then touches nothing of ours.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    QTimer m_backgroundTimer;
    bool m_started = false;
    bool m_checking = false;
};
