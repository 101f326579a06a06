#include "platform/DesktopNotificationClient.h"

#include "platform/DesktopNotificationError.h"

#include <QCoroDBus>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString interfaceName = QStringLiteral("org.freedesktop.Notifications");
const QString getServerInformation = QStringLiteral("GetServerInformation");
const QString getCapabilities = QStringLiteral("GetCapabilities");
const QString notifyMethod = QStringLiteral("Notify");
const QString closeNotificationMethod = QStringLiteral("CloseNotification");
} // namespace

DesktopNotificationClient::DesktopNotificationClient(QDBusConnection connection, QObject* parent)
    : QObject(parent)
    , m_connection(std::move(connection))
    , m_watcher(serviceName, m_connection, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &DesktopNotificationClient::serverChanged);
    m_connection.connect(serviceName, objectPath, interfaceName, QStringLiteral("NotificationClosed"), this,
                         SLOT(onNotificationClosed(uint, uint)));
    m_connection.connect(serviceName, objectPath, interfaceName, QStringLiteral("ActionInvoked"), this,
                         SLOT(onActionInvoked(uint, QString)));
}

void DesktopNotificationClient::onNotificationClosed(uint id, uint reason) {
    emit notificationClosed(id, reason);
}

void DesktopNotificationClient::onActionInvoked(uint id, const QString& actionKey) {
    emit actionInvoked(id, actionKey);
}

QCoro::Task<QDBusMessage> DesktopNotificationClient::call(QString method, QVariantList arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName, method);
    message.setArguments(arguments);
    const QDBusPendingCall pending = m_connection.asyncCall(message, callTimeoutMs);
    // Only locals from here on: the client may be gone when the reply arrives.
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        throw DesktopNotificationError(reply.errorName(), reply.errorMessage());
    }
    co_return reply;
}

QCoro::Task<DesktopNotificationClient::ServerInformation> DesktopNotificationClient::serverInformation() {
    QVariantList noArguments;
    const QDBusMessage reply = co_await call(getServerInformation, std::move(noArguments));
    const QVariantList values = reply.arguments();
    co_return ServerInformation{values.value(0).toString(), values.value(1).toString(),
                                values.value(2).toString(), values.value(3).toString()};
}

QCoro::Task<QStringList> DesktopNotificationClient::capabilities() {
    QVariantList noArguments;
    const QDBusMessage reply = co_await call(getCapabilities, std::move(noArguments));
    co_return reply.arguments().value(0).toStringList();
}

QCoro::Task<uint> DesktopNotificationClient::notify(DesktopNotification notification) {
    QVariantList arguments;
    arguments << notification.appName << notification.replacesId << notification.appIcon
              << notification.summary << notification.body << notification.actions << notification.hints
              << notification.expireTimeout;
    const QDBusMessage reply = co_await call(notifyMethod, std::move(arguments));
    co_return reply.arguments().value(0).toUInt();
}

bool DesktopNotificationClient::closeNotificationNow(uint id, int timeoutMs) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName, closeNotificationMethod);
    message << id;
    const QDBusMessage reply = m_connection.call(message, QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

QCoro::Task<> DesktopNotificationClient::closeNotification(uint id) {
    QVariantList arguments;
    arguments << id;
    co_await call(closeNotificationMethod, std::move(arguments));
}
