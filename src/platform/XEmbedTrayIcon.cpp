#include "platform/XEmbedTrayIcon.h"

#include <QIcon>
#include <QPixmap>
#include <QTextDocument>

namespace {
constexpr int trayPollIntervalMs = 250;
}

XEmbedTrayIcon::XEmbedTrayIcon(QObject* parent)
    : TrayBackend(parent) {
    m_waitForTray.setInterval(trayPollIntervalMs);
    connect(&m_waitForTray, &QTimer::timeout, this, [this] {
        if (showIfTrayAvailable()) {
            m_waitForTray.stop();
        }
    });
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) {
            const QRect area = geometry();
            emit activated(area.isValid() ? area.center() : QPoint());
        }
    });
}

void XEmbedTrayIcon::setIcon(const QList<QImage>& images) {
    QList<qint64> key = iconKey(images);
    if (key == m_shownIconKey && !m_shownIconKey.isEmpty()) {
        return;
    }
    QIcon* icon = m_icons.object(key);
    if (!icon) {
        icon = new QIcon;
        for (const QImage& image : images) {
            icon->addPixmap(QPixmap::fromImage(image));
        }
        m_icons.insert(key, icon);
    }
    m_icon.setIcon(*icon);
    m_shownIconKey = std::move(key);
}

QString XEmbedTrayIcon::plainToolTip(const QString& text) {
    // Qt shows the tooltip as rich text when it looks like rich text (Qt::mightBeRichText): such a text
    // goes escaped inside <qt>, which Qt reads as rich text that shows the characters as written.
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    return QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>");
}

void XEmbedTrayIcon::setToolTip(const QString& text) {
    const QString shown = plainToolTip(text);
    if (m_icon.toolTip() != shown) {
        m_icon.setToolTip(shown);
    }
}

void XEmbedTrayIcon::show() {
    if (m_shown || m_waitForTray.isActive()) {
        return;
    }
    if (!showIfTrayAvailable()) {
        m_waitForTray.start();
    }
}

QRect XEmbedTrayIcon::geometry() const {
    return m_shown ? m_icon.geometry() : QRect();
}

bool XEmbedTrayIcon::showIfTrayAvailable() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    // Once shown, Qt embeds the icon again into a tray that replaces this one.
    m_icon.show();
    m_shown = true;
    emit shownChanged(true);
    return true;
}
