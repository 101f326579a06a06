#include "ui/alerts/AlertWindow.h"

#include "platform/X11Windows.h"

#include <QMouseEvent>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QWindow>

AlertWindow::AlertWindow(AlertCardView* content, QSize size, Workspaces workspaces)
    : QWidget(nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_content(content)
    , m_workspaces(workspaces) {
    setWindowTitle(QStringLiteral("Pendlow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(size);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);

    if (X11Windows::compositingActive()) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        // No compositor to blend transparent corners: cut the window to the card's outline.
        QPainterPath outline;
        outline.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), content->cornerRadius(),
                               content->cornerRadius());
        setMask(QRegion(outline.toFillPolygon().toPolygon()));
    }
}

void AlertWindow::present(const std::optional<QPoint>& topLeft) {
    if (topLeft) {
        move(*topLeft);
    }
    if (m_workspaces == Workspaces::all) {
        winId(); // creates the native window, so its properties can be set before it is mapped
        X11Windows::makeSticky(windowHandle());
    }
    show();
    raise();
}

void AlertWindow::setIgnoresMouseEvents(bool ignore) {
    setAttribute(Qt::WA_TransparentForMouseEvents, ignore);
}

void AlertWindow::mousePressEvent(QMouseEvent* event) {
    if (!m_movable || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A window manager moves the window itself; without one we follow the pointer.
    if (windowHandle() && windowHandle()->startSystemMove()) {
        return;
    }
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void AlertWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragOffset) {
        move(event->globalPosition().toPoint() - *m_dragOffset);
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void AlertWindow::mouseReleaseEvent(QMouseEvent* event) {
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}
