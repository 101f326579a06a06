#pragma once

#include "platform/StatusNotifierIconPixmap.h"
#include "platform/StatusNotifierToolTip.h"
#include "platform/TrayBackend.h"

#include <QCache>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QString>

class StatusNotifierItemAdaptor;

// The application's tray item as a freedesktop StatusNotifierItem of our own: the object
// "/StatusNotifierItem" under the bus name "org.kde.StatusNotifierItem-<pid>-<n>", registered with the
// "org.kde.StatusNotifierWatcher" whenever one is on the bus (again after the watcher comes back).
// It publishes the icon as pixels, the label as the Ayatana label and the same text as tooltip, and
// tells the tray of every change ("NewIcon", "NewToolTip", "XAyatanaNewLabel"). A click in the tray
// ("Activate", or "ContextMenu": there is no menu) comes out as activated() with the click point.
//
// "NewIcon" goes out only for an icon with other pixels than the one published. The pixels of the
// few icons of a pulse are converted once and kept (at most iconCacheCapacity), and an icon made of
// the same image objects as the published one is recognised without looking at its pixels.
class StatusNotifierItem : public TrayBackend {
    Q_OBJECT

public:
    static const QString watcherService;
    static const QString watcherPath;
    static const QString itemPath;

    // Exports the item on the bus at once; it is shown from show() on.
    explicit StatusNotifierItem(QDBusConnection bus, QObject* parent = nullptr);
    // Leaves the bus.
    ~StatusNotifierItem() override;

    // The bus is there and a "StatusNotifierWatcher" owns its name.
    static bool isWatcherPresent(const QDBusConnection& bus);

    Kind kind() const override { return Kind::statusNotifierItem; }
    void setIcon(const QList<QImage>& images) override;
    void setLabel(const QString& label, const QString& guide) override;
    void setToolTip(const QString& text) override;
    void show() override;
    bool isShown() const override { return m_registered; }

    static constexpr int iconCacheCapacity = 16;
    int cachedIconCount() const { return int(m_iconCache.count()); }

    // The name the item is registered under.
    QString serviceName() const { return m_serviceName; }

    QString id() const { return QStringLiteral("pendlow"); }
    QString title() const { return QStringLiteral("Pendlow"); }
    const StatusNotifierIconPixmapList& iconPixmap() const { return m_iconPixmap; }
    const QString& label() const { return m_label; }
    const QString& labelGuide() const { return m_labelGuide; }
    StatusNotifierToolTip toolTip() const;

    // A click in the tray, as the adaptor receives it.
    void activate(int x, int y);

private:
    void registerWithWatcher();
    void setRegistered(bool registered);

    QDBusConnection m_bus;
    QString m_serviceName;
    StatusNotifierItemAdaptor* m_adaptor;
    QDBusServiceWatcher m_watcherWatcher;
    bool m_wantShown = false;
    bool m_registered = false;
    StatusNotifierIconPixmapList m_iconPixmap;
    QList<qint64> m_iconKey;
    QCache<QList<qint64>, StatusNotifierIconPixmapList> m_iconCache{iconCacheCapacity};
    QString m_label;
    QString m_labelGuide;
    QString m_toolTip;
};
