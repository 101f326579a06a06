#pragma once

#include "services/alerts/Notifier.h"

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <optional>

class DesktopNotificationClient;
struct DesktopNotification;

// The application's four desktop notifications, sent to the freedesktop notification server on the
// given bus: the no-timer warning and the notices that a timer started, that a timer stopped and that
// silent mode began. Title goes to the summary; subtitle and body, one per line, to the body.
//
// Every notification names the application's icon (ApplicationIcon::notificationIcon(): the theme
// name "pendlow" when installed, else a file) and, in the "desktop-entry" hint, the desktop file
// "pendlow" that `make install` puts in place.
//
// The no-timer warning is one notification: a newer one replaces the shown one (replaces_id), it has
// normal urgency (1: servers expire it; a critical one would stay on screen), carries the category
// "x-pendlow.reminder" and the default action, so that a click on it opens the popover
// (openPopoverRequested); removeNoTimerWarning closes it, also when its Notify call is still under way, and
// withdrawAtQuit closes it when the application quits. The other three are new notifications each time.
//
// Nothing fails towards the caller: a failed send prints "Failed to send notification: <error>" on
// standard output, a server that does not answer the permission check prints
// "Notification permission error: <error>".
class NotificationService : public QObject, public Notifier {
    Q_OBJECT

public:
    static constexpr int taskNameLimit = 50;
    static inline const QString noTimerCategory = QStringLiteral("x-pendlow.reminder");
    static inline const QString defaultAction = QStringLiteral("default");

    // appIcon: the icon every notification names; ApplicationIcon::notificationIcon() when none.
    explicit NotificationService(QDBusConnection connection, QObject* parent = nullptr,
                                 std::optional<QString> appIcon = std::nullopt);
    ~NotificationService() override;

    // The instance on the session bus.
    static NotificationService& shared();

    // True when a notification server answers on the bus.
    QCoro::Task<bool> requestPermission() override;
    QCoro::Task<> sendNoTimerWarning() override;
    QCoro::Task<> sendTimerStarted(QString taskName) override;
    QCoro::Task<> sendTimerStopped(QString durationText) override;
    QCoro::Task<> sendSilentModeActivated(QDateTime endDate) override;
    QCoro::Task<> removeNoTimerWarning() override;
    // Closes the shown warning and waits for the server's answer (at most quitCallTimeoutMs): for
    // the end of the application, when no event loop runs any more. Called on aboutToQuit.
    void withdrawAtQuit();
    static constexpr int quitCallTimeoutMs = 1000;

    // A task name as the timer-started notice shows it: up to 50 user-perceived characters whole,
    // a longer one cut to its first 47 followed by "...". Never cuts inside a grapheme cluster.
    static QString shortenedTaskName(const QString& name);

    // The server's id of the shown no-timer warning, if any.
    std::optional<uint> noTimerWarningId() const { return m_warningId; }

Q_SIGNALS:
    // A no-timer warning's Notify call has ended (sent or failed).
    void noTimerWarningSettled();
    // The user clicked the no-timer warning: the application opens the popover.
    void openPopoverRequested();

private:
    QCoro::Task<std::optional<uint>> post(QString title, QString subtitle, QString body, QVariantMap hints,
                                          uint replacesId, QStringList actions = {});
    QCoro::Task<bool> serverTakesMarkup();
    void forgetServer();
    void onActionInvoked(uint id, const QString& actionKey);
    const QString& appIcon();

    DesktopNotificationClient* m_client;
    std::optional<uint> m_warningId;
    bool m_warningInFlight = false;
    bool m_warningWithdrawn = false;
    std::optional<bool> m_bodyMarkup;
    std::optional<QString> m_appIcon;
    // Ids the server gave our no-timer warnings, the shown one and those replaced or closed since:
    // a click may arrive for one just replaced.
    QList<uint> m_warningIds;
};
