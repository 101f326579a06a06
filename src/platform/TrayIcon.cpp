#include "platform/TrayIcon.h"

#include "core/Log.h"
#include "platform/StatusNotifierItem.h"
#include "platform/X11DesktopPanels.h"
#include "platform/X11Windows.h"
#include "platform/XEmbedTrayIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

TrayIcon::TrayIcon(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_watcherWatcher(StatusNotifierItem::watcherService, m_bus,
                       QDBusServiceWatcher::WatchForRegistration |
                           QDBusServiceWatcher::WatchForUnregistration) {
    useBackend(StatusNotifierItem::isWatcherPresent(m_bus) ? TrayBackend::Kind::statusNotifierItem
                                                           : TrayBackend::Kind::xembed);
    connect(&m_watcherWatcher, &QDBusServiceWatcher::serviceRegistered, this,
            [this] { useBackend(TrayBackend::Kind::statusNotifierItem); });
    connect(&m_watcherWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { useBackend(TrayBackend::Kind::xembed); });
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::useBackend(TrayBackend::Kind kind) {
    if (m_backend && m_backend->kind() == kind) {
        return;
    }
    const bool wasShown = m_backend && m_backend->isShown();
    std::unique_ptr<TrayBackend> backend;
    if (kind == TrayBackend::Kind::statusNotifierItem) {
        backend = std::make_unique<StatusNotifierItem>(m_bus);
    } else {
        backend = std::make_unique<XEmbedTrayIcon>();
    }
    backend->setIcon(m_icon);
    backend->setLabel(m_label, m_labelGuide);
    backend->setToolTip(m_toolTip);
    connect(backend.get(), &TrayBackend::shownChanged, this, &TrayIcon::shownChanged);
    connect(backend.get(), &TrayBackend::activated, this, [this](QPoint point) {
        m_lastClick = point;
        m_clicked = true;
        emit activated(anchor());
    });
    const bool hadBackend = m_backend != nullptr;
    m_backend = std::move(backend);
    if (hadBackend) {
        Log::notice(
            kind == TrayBackend::Kind::statusNotifierItem
                ? QStringLiteral("Tray: a StatusNotifierWatcher appeared, the item moves to it")
                : QStringLiteral("Tray: the StatusNotifierWatcher left, the item falls back to XEmbed"),
            Log::Category::ui);
        if (wasShown) {
            emit shownChanged(false);
        }
        emit kindChanged(kind);
    }
    if (m_showRequested) {
        m_backend->show();
    }
}

void TrayIcon::setIcon(const QList<QImage>& images) {
    m_icon = images;
    m_backend->setIcon(images);
}

void TrayIcon::setLabel(const QString& label, const QString& guide) {
    m_label = label;
    m_labelGuide = guide;
    m_backend->setLabel(label, guide);
}

void TrayIcon::setToolTip(const QString& text) {
    m_toolTip = text;
    m_backend->setToolTip(text);
}

void TrayIcon::show() {
    m_showRequested = true;
    m_backend->show();
}

QRect TrayIcon::anchor() const {
    const QRect area = m_backend->geometry();
    if (area.isValid()) {
        return area;
    }
    if (!m_lastClick.isNull()) {
        QScreen* screen = QGuiApplication::screenAt(m_lastClick);
        if (!screen) {
            return QRect(m_lastClick, QSize(1, 1));
        }
        const QRect available = screen->availableGeometry();
        std::optional<QRect> window;
        if (available.contains(m_lastClick)) {
            window = X11Windows::topLevelGeometryAt(m_lastClick);
        }
        return clickAnchor(m_lastClick, window, available);
    }
    // Not clicked yet (a reminder opens the popover first): under the panel's tray end, not wherever
    // the pointer happens to be. (A click without a point was made where the pointer is.)
    if (!m_clicked) {
        if (const std::optional<QRect> tray = X11DesktopPanels::likelyTrayArea()) {
            return *tray;
        }
    }
    return QRect(QCursor::pos(), QSize(1, 1));
}

QRect TrayIcon::clickAnchor(const QPoint& click, const std::optional<QRect>& windowUnderClick,
                            const QRect& available) {
    const QRect point(click, QSize(1, 1));
    if (!available.contains(click) || !windowUnderClick || !windowUnderClick->contains(click)) {
        return point;
    }
    const QRect& panel = *windowUnderClick;
    if (panel.width() <= panel.height() || panel.height() > available.height() / 4) {
        return point;
    }
    return QRect(click.x(), panel.top(), 1, panel.height());
}
