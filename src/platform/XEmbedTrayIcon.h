#pragma once

#include "platform/TrayBackend.h"

#include <QCache>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

// The application's tray item in an XEmbed system tray (the freedesktop system-tray protocol), through
// QSystemTrayIcon: the icon and the tooltip; such trays show no text beside an icon, so the label
// is not shown (the tooltip carries the same text). show() waits for a tray to appear when there is
// none yet. Only a plain click activates the item, at the icon's place.
//
// The icons of a pulse come back again and again: each one becomes a QIcon once and is kept in a
// small cache (at most iconCacheCapacity), so that Qt's pixmap cache, which keys the scaled pixmaps
// of an icon by the icon's identity, reuses them instead of filling up with a new icon every frame.
// An icon that is already shown is not set again.
class XEmbedTrayIcon : public TrayBackend {
    Q_OBJECT

public:
    explicit XEmbedTrayIcon(QObject* parent = nullptr);

    Kind kind() const override { return Kind::xembed; }
    void setIcon(const QList<QImage>& images) override;
    void setLabel(const QString&, const QString&) override {}
    // Shown as plain text, whatever it holds.
    void setToolTip(const QString& text) override;
    // The tooltip Qt shows as the text itself: rich-looking text escaped.
    static QString plainToolTip(const QString& text);
    void show() override;
    bool isShown() const override { return m_shown; }
    QRect geometry() const override;

    const QSystemTrayIcon& systemTrayIcon() const { return m_icon; }

    static constexpr int iconCacheCapacity = 16;
    int cachedIconCount() const { return int(m_icons.count()); }

private:
    bool showIfTrayAvailable();

    QSystemTrayIcon m_icon;
    QCache<QList<qint64>, QIcon> m_icons{iconCacheCapacity};
    QList<qint64> m_shownIconKey;
    QTimer m_waitForTray;
    bool m_shown = false;
};
