#include "platform/StatusNotifierItem.h"

#include "core/Log.h"
#include "platform/StatusNotifierItemAdaptor.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

#include <atomic>

const QString StatusNotifierItem::watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString StatusNotifierItem::watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString StatusNotifierItem::itemPath = QStringLiteral("/StatusNotifierItem");

namespace {
constexpr auto category = Log::Category::ui;

void registerDBusTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<StatusNotifierIconPixmap>();
        qDBusRegisterMetaType<StatusNotifierIconPixmapList>();
        qDBusRegisterMetaType<StatusNotifierToolTip>();
        return true;
    }();
    Q_UNUSED(registered);
}

QString nextServiceName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}
} // namespace

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, QObject* parent)
    : TrayBackend(parent)
    , m_bus(std::move(bus))
    , m_serviceName(nextServiceName())
    , m_adaptor(nullptr)
    , m_watcherWatcher(watcherService, m_bus,
                       QDBusServiceWatcher::WatchForRegistration |
                           QDBusServiceWatcher::WatchForUnregistration) {
    registerDBusTypes();
    m_adaptor = new StatusNotifierItemAdaptor(this);
    if (!m_bus.registerObject(itemPath, this, QDBusConnection::ExportAdaptors)) {
        Log::warning(QStringLiteral("Tray item: cannot export %1 on the session bus").arg(itemPath),
                     category);
    }
    if (!m_bus.registerService(m_serviceName)) {
        // The watcher also accepts the connection's own unique name.
        Log::warning(QStringLiteral("Tray item: cannot own the bus name %1").arg(m_serviceName), category);
        m_serviceName = m_bus.baseService();
    }

    // A new watcher (after a restart of the desktop shell, say) knows nothing of the item.
    connect(&m_watcherWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                setRegistered(false);
                if (!newOwner.isEmpty() && m_wantShown) {
                    registerWithWatcher();
                }
            });
}

StatusNotifierItem::~StatusNotifierItem() {
    m_bus.unregisterObject(itemPath);
    if (m_serviceName != m_bus.baseService()) {
        m_bus.unregisterService(m_serviceName);
    }
}

bool StatusNotifierItem::isWatcherPresent(const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) {
        return false;
    }
    return bus.interface()->isServiceRegistered(watcherService).value();
}

void StatusNotifierItem::setIcon(const QList<QImage>& images) {
    QList<qint64> key = iconKey(images);
    if (key == m_iconKey && !key.isEmpty()) {
        return;
    }
    StatusNotifierIconPixmapList* pixmaps = m_iconCache.object(key);
    if (!pixmaps) {
        pixmaps = new StatusNotifierIconPixmapList;
        pixmaps->reserve(images.size());
        for (const QImage& image : images) {
            if (!image.isNull()) {
                pixmaps->append(StatusNotifierIconPixmap::fromImage(image));
            }
        }
        m_iconCache.insert(key, pixmaps);
    }
    m_iconKey = std::move(key);
    if (*pixmaps == m_iconPixmap) {
        return;
    }
    // Shares the cached bytes: publishing an icon copies no pixels.
    m_iconPixmap = *pixmaps;
    emit m_adaptor->NewIcon();
}

void StatusNotifierItem::setLabel(const QString& label, const QString& guide) {
    if (label == m_label && guide == m_labelGuide) {
        return;
    }
    m_label = label;
    m_labelGuide = guide;
    emit m_adaptor->XAyatanaNewLabel(m_label, m_labelGuide);
}

void StatusNotifierItem::setToolTip(const QString& text) {
    if (text == m_toolTip) {
        return;
    }
    m_toolTip = text;
    emit m_adaptor->NewToolTip();
}

StatusNotifierToolTip StatusNotifierItem::toolTip() const {
    // Hosts read the tooltip as markup (xfce4-panel hands it to GTK as Pango markup, Plasma as rich
    // text): escaped, a task name's "<", ">" or "&" shows as written.
    return StatusNotifierToolTip{QString(), {}, m_toolTip.toHtmlEscaped(), QString()};
}

void StatusNotifierItem::show() {
    if (m_wantShown) {
        return;
    }
    m_wantShown = true;
    if (isWatcherPresent(m_bus)) {
        registerWithWatcher();
    }
}

void StatusNotifierItem::activate(int x, int y) {
    emit activated(QPoint(x, y));
}

void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage call = QDBusMessage::createMethodCall(watcherService, watcherPath, watcherService,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* watcher) {
        watcher->deleteLater();
        const QDBusPendingReply<> reply = *watcher;
        if (reply.isError()) {
            Log::warning(
                QStringLiteral("Tray item: the watcher refused the item: %1").arg(reply.error().message()),
                category);
            return;
        }
        setRegistered(true);
    });
}

void StatusNotifierItem::setRegistered(bool registered) {
    if (m_registered == registered) {
        return;
    }
    m_registered = registered;
    emit shownChanged(registered);
}
