#include "FakeNotificationServer.h"

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

FakeNotificationServer::FakeNotificationServer(QDBusConnection connection, QObject* parent)
    : QObject(parent)
    , m_connection(std::move(connection)) {
    m_registered =
        m_connection.registerObject(objectPath, this,
                                    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
        m_connection.registerService(serviceName);
}

FakeNotificationServer::~FakeNotificationServer() {
    m_connection.unregisterService(serviceName);
    m_connection.unregisterObject(objectPath);
}

void FakeNotificationServer::setRefusal(const QString& errorName, const QString& message) {
    m_refusalName = errorName;
    m_refusalMessage = message;
}

bool FakeNotificationServer::refuse() {
    if (m_refusalName.isEmpty()) {
        return false;
    }
    sendErrorReply(m_refusalName, m_refusalMessage);
    return true;
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int expireTimeout) {
    if (refuse()) {
        return 0;
    }
    Notification notification{0, appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout};
    notification.id = replacesId != 0 ? replacesId : m_nextId++;
    m_notifyCalls.append(notification);
    m_shown.insert(notification.id, notification);
    if (m_hold) {
        setDelayedReply(true);
        m_held.append({message(), notification.id});
    }
    return notification.id;
}

void FakeNotificationServer::releaseHeldReplies() {
    const auto held = std::exchange(m_held, {});
    for (const auto& [call, id] : held) {
        m_connection.send(call.createReply(QVariant(id)));
    }
}

void FakeNotificationServer::CloseNotification(uint id) {
    if (refuse()) {
        return;
    }
    m_closeCalls.append(id);
    if (m_shown.remove(id) > 0) {
        emit NotificationClosed(id, 3);
    }
}

void FakeNotificationServer::closeByUser(uint id) {
    if (m_shown.remove(id) > 0) {
        emit NotificationClosed(id, 2);
    }
}

QStringList FakeNotificationServer::GetCapabilities() {
    if (refuse()) {
        return {};
    }
    return m_capabilities;
}

QString FakeNotificationServer::GetServerInformation(QString& vendor, QString& version,
                                                     QString& specVersion) {
    ++m_serverInformationCalls;
    if (refuse()) {
        return {};
    }
    vendor = QStringLiteral("Pendlow tests");
    version = QStringLiteral("1.0");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake-notification-server");
}
