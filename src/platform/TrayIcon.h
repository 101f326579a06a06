#pragma once

#include "platform/TrayBackend.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>

// The application's item in the desktop's tray, over whichever tray the desktop has:
//  - a StatusNotifierItem of our own while a "org.kde.StatusNotifierWatcher" is on the bus (KDE,
//    GNOME with the AppIndicator extension, Unity, most panels): icon, text label and tooltip;
//  - otherwise an XEmbed tray icon (QSystemTrayIcon): icon and tooltip.
// It follows the watcher: when one appears the item moves to it, when it goes the item falls back to
// XEmbed, and it keeps the icon, label and tooltip across such moves. GUI thread only.
class TrayIcon : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isShown READ isShown NOTIFY shownChanged)

public:
    // bus: where to look for the watcher (the session bus in the application).
    explicit TrayIcon(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~TrayIcon() override;

    TrayBackend::Kind kind() const { return m_backend->kind(); }
    TrayBackend& backend() const { return *m_backend; }

    // The icon in one or more sizes.
    void setIcon(const QList<QImage>& images);
    // Text beside the icon where the tray shows text; guide: the longest text expected.
    void setLabel(const QString& label, const QString& guide = {});
    void setToolTip(const QString& text);
    const QList<QImage>& icon() const { return m_icon; }
    const QString& label() const { return m_label; }
    const QString& toolTip() const { return m_toolTip; }

    // Puts the item into the tray, now or as soon as there is one.
    void show();
    // The item is in a tray now.
    bool isShown() const { return m_backend->isShown(); }

    // Where a window opened from the item should hang, in screen coordinates: the icon's area when
    // the tray tells it, else the last click as clickAnchor() makes it, else (never clicked) the
    // tray end of the desktop's panel (X11DesktopPanels::likelyTrayArea), else the mouse pointer.
    QRect anchor() const;

    // The anchor of a click on an item whose tray gives no geometry (StatusNotifierItem hosts give only
    // the click point). When the screen's available area still holds the click (no work area excludes
    // the panel, as without a window manager) and the window under the click is a horizontal panel
    // (wider than high, at most a quarter of the area's height): the panel's full height at the click's
    // x, so that a window hung from it opens below a top panel or above a bottom one, clear of it.
    // Otherwise the click point itself.
    static QRect clickAnchor(const QPoint& click, const std::optional<QRect>& windowUnderClick,
                             const QRect& available);

Q_SIGNALS:
    // The user clicked the item; anchor as anchor() gives it for that click.
    void activated(QRect anchor);
    void shownChanged(bool shown);
    // The item moved to another kind of tray.
    void kindChanged(TrayBackend::Kind kind);

private:
    void useBackend(TrayBackend::Kind kind);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcherWatcher;
    std::unique_ptr<TrayBackend> m_backend;
    QList<QImage> m_icon;
    QString m_label;
    QString m_labelGuide;
    QString m_toolTip;
    QPoint m_lastClick;
    bool m_clicked = false;
    bool m_showRequested = false;
};
