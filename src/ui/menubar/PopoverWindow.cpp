#include "ui/menubar/PopoverWindow.h"

#include "core/UserDefaultsService.h"
#include "platform/X11DesktopPanels.h"
#include "services/AppState.h"
#include "services/TimerRefreshScheduler.h"
#include "services/alerts/FloatingAlerts.h"
#include "services/alerts/ToastAlerts.h"
#include "services/usage/AppUsageSwitch.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/menubar/MenuBarView.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {
// When after opening the popover a late panel tooltip is looked for again.
constexpr std::array toolTipChecksMs{150, 500, 1200};
} // namespace

PopoverWindow::PopoverWindow(AppState& appState, UserDefaultsService& settings, ToastAlerts& toastAlerts,
                             FloatingAlerts& floatingAlerts, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
    , m_appState(appState)
    , m_settings(settings)
    , m_toastAlerts(toastAlerts)
    , m_floatingAlerts(floatingAlerts)
    , m_content(new MenuBarView(appState, settings, this))
    , m_height(qRound(MenuBarView::popoverHeight(settings))) {
    setWindowTitle(QStringLiteral("Pendlow"));
    // A click that closes the popover is not passed on: a click on the tray item closes it, no more.
    setAttribute(Qt::WA_NoMouseReplay);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(m_content);
    setFixedSize(preferredSize());
    connect(&m_settings, &UserDefaultsService::settingChanged, this, &PopoverWindow::onSettingChanged);
}

PopoverWindow::~PopoverWindow() = default;

QSize PopoverWindow::preferredSize() const {
    return QSize(MenuBarView::popoverWidth, m_height);
}

QRect PopoverWindow::placement(const QRect& anchor, const QSize& size, const QRect& available) {
    const int width = std::min(size.width(), available.width());
    const int height = std::min(size.height(), available.height());
    const int centreX = anchor.x() + anchor.width() / 2;
    const int centreY = anchor.y() + anchor.height() / 2;
    int x = centreX - width / 2;
    const bool below = centreY < available.y() + available.height() / 2;
    int y = below ? anchor.bottom() + 1 : anchor.top() - height;
    x = std::clamp(x, available.left(), available.right() + 1 - width);
    y = std::clamp(y, available.top(), available.bottom() + 1 - height);
    return QRect(x, y, width, height);
}

void PopoverWindow::showAt(const QRect& anchor) {
    m_anchor = anchor;
    applyPlacement();
    if (!isVisible()) {
        show();
    }
    raise();
    activateWindow();
}

void PopoverWindow::toggleAt(const QRect& anchor) {
    if (isVisible()) {
        hideOnRequest();
        return;
    }
    if (m_sinceHidden.isValid() && m_sinceHidden.elapsed() < reopenGuardMs) {
        return;
    }
    showAt(anchor);
}

void PopoverWindow::hideOnRequest() {
    m_hidingOnRequest = true;
    hide();
    m_hidingOnRequest = false;
}

void PopoverWindow::applyPlacement() {
    QScreen* screen = QGuiApplication::screenAt(m_anchor.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QSize wanted = preferredSize();
    const QRect place =
        screen ? placement(m_anchor, wanted, screen->availableGeometry()) : QRect(m_anchor.topLeft(), wanted);
    setFixedSize(place.size());
    move(place.topLeft());
}

void PopoverWindow::onSettingChanged(const QString& key) {
    if (key != MenuBarView::popoverHeightKey) {
        return;
    }
    const int height = qRound(MenuBarView::popoverHeight(m_settings));
    if (height == m_height) {
        return;
    }
    m_height = height;
    if (isVisible()) {
        applyPlacement();
    } else {
        setFixedSize(preferredSize());
    }
}

void PopoverWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    // A panel's tooltip shown at the click that opened us would stay above the popover: our grab of
    // the pointer keeps the pointer's leaving from the panel. It goes now, and if it comes up late.
    X11DesktopPanels::hideForeignToolTips();
    for (const int delay : toolTipChecksMs) {
        QTimer::singleShot(delay, this, [this] {
            if (isVisible()) {
                X11DesktopPanels::hideForeignToolTips();
            }
        });
    }
    m_appState.setIsPopoverVisible(true);
    m_appState.refreshService()->start();
    m_appState.appUsageSwitch().startIfEnabled();
    m_floatingAlerts.dismissAlert();
    m_toastAlerts.dismissToast();
}

void PopoverWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (m_hidingOnRequest) {
        m_sinceHidden.invalidate();
    } else {
        // Closed by a click outside it, which may have been on the tray item.
        m_sinceHidden.start();
    }
    m_appState.setIsPopoverVisible(false);
}

void PopoverWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hideOnRequest();
        return;
    }
    QWidget::keyPressEvent(event);
}
