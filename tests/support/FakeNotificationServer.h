#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A freedesktop notification server (org.freedesktop.Notifications) for tests, registered on the
// connection it is given. It records every call, keeps the notifications it shows, can refuse with a
// D-Bus error and can hold its Notify replies back until released.
class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification {
        uint id = 0;
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };

    explicit FakeNotificationServer(QDBusConnection connection, QObject* parent = nullptr);
    ~FakeNotificationServer() override;

    bool isRegistered() const { return m_registered; }

    // Every Notify call, in order.
    QList<Notification> notifyCalls() const { return m_notifyCalls; }
    // The notifications on screen, by id.
    QMap<uint, Notification> shown() const { return m_shown; }
    QList<uint> closeCalls() const { return m_closeCalls; }
    int serverInformationCalls() const { return m_serverInformationCalls; }

    void setCapabilities(const QStringList& capabilities) { m_capabilities = capabilities; }
    // Every call is answered with this D-Bus error until cleared (empty name).
    void setRefusal(const QString& errorName, const QString& message);
    // While held, Notify calls are recorded and shown but answered only by releaseHeldReplies().
    void setHoldReplies(bool hold) { m_hold = hold; }
    int heldReplies() const { return int(m_held.size()); }
    void releaseHeldReplies();
    // The user closes a notification (reason 2).
    void closeByUser(uint id);
    // The user invokes an action of a notification ("default": clicks it), as the server signals it.
    void invokeAction(uint id, const QString& actionKey) { emit ActionInvoked(id, actionKey); }

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities();
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

Q_SIGNALS:
    void NotificationClosed(uint id, uint reason);
    void ActionInvoked(uint id, const QString& actionKey);

private:
    bool refuse();

    QDBusConnection m_connection;
    bool m_registered = false;
    QList<Notification> m_notifyCalls;
    QMap<uint, Notification> m_shown;
    QList<uint> m_closeCalls;
    int m_serverInformationCalls = 0;
    QStringList m_capabilities{QStringLiteral("body")};
    QString m_refusalName;
    QString m_refusalMessage;
    bool m_hold = false;
    QList<QPair<QDBusMessage, uint>> m_held;
    uint m_nextId = 1;
};
