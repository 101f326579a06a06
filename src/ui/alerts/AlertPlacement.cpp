#include "ui/alerts/AlertPlacement.h"

#include <QGuiApplication>
#include <QScreen>

QPoint AlertPlacement::fromBottomLeftOrigin(const QRect& available, QPoint origin, QSize size) {
    return {available.x() + origin.x(), available.y() + available.height() - origin.y() - size.height()};
}

QPoint AlertPlacement::toastTopLeft(const QRect& available) {
    return fromBottomLeftOrigin(available, {available.width() - 380, available.height() - 100}, toastSize);
}

QPoint AlertPlacement::activeTimerToastTopLeft(const QRect& available) {
    return fromBottomLeftOrigin(available, {available.width() - 340, available.height() - 90},
                                activeTimerToastSize);
}

QPoint AlertPlacement::panelTopLeft(const QRect& available) {
    return fromBottomLeftOrigin(available, {(available.width() - panelSize.width()) / 2, 100}, panelSize);
}

std::optional<QPoint> AlertPlacement::onPrimaryScreen(QPoint (*place)(const QRect&)) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return std::nullopt;
    }
    return place(screen->availableGeometry());
}
