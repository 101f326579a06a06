#pragma once

#include "platform/DesktopNotification.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>

class QDBusMessage;

// Our client of the freedesktop notification server (org.freedesktop.Notifications on the session
// bus). Every call throws DesktopNotificationError when the server is missing, refuses or does not
// answer within callTimeoutMs.
class DesktopNotificationClient : public QObject {
    Q_OBJECT

public:
    static constexpr int callTimeoutMs = 5000;

    struct ServerInformation {
        QString name;
        QString vendor;
        QString version;
        QString specVersion;
    };

    explicit DesktopNotificationClient(QDBusConnection connection, QObject* parent = nullptr);

    QCoro::Task<ServerInformation> serverInformation();
    QCoro::Task<QStringList> capabilities();
    // The server's id of the shown notification.
    QCoro::Task<uint> notify(DesktopNotification notification);
    QCoro::Task<> closeNotification(uint id);
    // Closes a notification and waits for the answer, at most timeoutMs, without an event loop (for
    // the end of the process). False when the server refused or did not answer.
    bool closeNotificationNow(uint id, int timeoutMs);

Q_SIGNALS:
    // The server closed a notification (expired 1, dismissed 2, closed by call 3, other 4).
    void notificationClosed(uint id, uint reason);
    // The user invoked an action of a notification (actionKey "default": clicked its body). The
    // server sends this to every client; the id tells whose notification it was.
    void actionInvoked(uint id, const QString& actionKey);
    // Another process now owns the server name, or none does: ids handed out before mean nothing.
    void serverChanged();

private Q_SLOTS:
    void onNotificationClosed(uint id, uint reason);
    void onActionInvoked(uint id, const QString& actionKey);

private:
    QCoro::Task<QDBusMessage> call(QString method, QVariantList arguments);

    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
};
