#include "web/BrowserWindow.h"

#include "web/BrowserPage.h"
#include "web/WebHelperOptions.h"

#include <QAction>
#include <QChildEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

BrowserWindow::BrowserWindow(QWebEngineProfile* profile, bool trace, QWidget* parent)
    : QWebEngineView(parent)
    , m_page(new BrowserPage(profile, trace, this)) {
    setPage(m_page);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setMinimumSize(WebHelperOptions::minimumWidth, WebHelperOptions::minimumHeight);

    auto* back = pageAction(QWebEnginePage::Back);
    back->setShortcuts(QKeySequence::Back);
    back->setShortcutContext(Qt::WindowShortcut);
    addAction(back);
    auto* forward = pageAction(QWebEnginePage::Forward);
    forward->setShortcuts(QKeySequence::Forward);
    forward->setShortcutContext(Qt::WindowShortcut);
    addAction(forward);
    // The web content lives in a child widget that gets the mouse events.
    installEventFilter(this);
}

void BrowserWindow::placeCentred(int width, int height) {
    resize(std::max(width, minimumWidth()), std::max(height, minimumHeight()));
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void BrowserWindow::present() {
    show();
    raise();
    activateWindow();
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    QWebEngineView::closeEvent(event);
    Q_EMIT closed();
}

bool BrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        if (auto* child = static_cast<QChildEvent*>(event)->child(); child && child->isWidgetType()) {
            child->installEventFilter(this);
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        const auto button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::BackButton) {
            triggerPageAction(QWebEnginePage::Back);
            return true;
        }
        if (button == Qt::ForwardButton) {
            triggerPageAction(QWebEnginePage::Forward);
            return true;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}
