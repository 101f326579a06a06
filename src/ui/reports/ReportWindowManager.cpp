#include "ui/reports/ReportWindowManager.h"

#include "platform/HeapTrim.h"
#include "ui/reports/StandaloneDashboardView.h"
#include "ui/reports/StandaloneTimelineView.h"

#include <QGuiApplication>
#include <QPixmapCache>
#include <QScreen>
#include <QWidget>

const ReportWindowManager::WindowSpec ReportWindowManager::dashboardSpec{QStringLiteral("Dashboard"),
                                                                         QSize(900, 600), QSize(700, 400)};
const ReportWindowManager::WindowSpec ReportWindowManager::timelineSpec{
    QStringLiteral("Day Planning Timeline"), QSize(1100, 600), QSize(900, 500)};

ReportWindowManager::ReportWindowManager(const ReportContext& context, QObject* parent)
    : QObject(parent)
    , m_context(context) {}

ReportWindowManager::~ReportWindowManager() {
    m_releaseDue = false;
    delete m_dashboardWindow.data();
    delete m_timelineWindow.data();
}

void ReportWindowManager::prepareWindow(QWidget* window, const WindowSpec& spec) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlags(Qt::Window);
    window->setWindowTitle(spec.title);
    window->setMinimumSize(spec.minimumSize);
    window->resize(spec.size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(spec.size.width() / 2, spec.size.height() / 2));
    }
}

bool ReportWindowManager::raiseIfVisible(QWidget* window) {
    if (!window) {
        return false;
    }
    if (!window->isVisible()) {
        // Hidden but not closed: it goes, and a new one comes.
        window->deleteLater();
        return false;
    }
    if (window->isMinimized()) {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
    return true;
}

void ReportWindowManager::openDashboard() {
    if (raiseIfVisible(m_dashboardWindow)) {
        return;
    }
    auto* window = new StandaloneDashboardView(m_context);
    prepareWindow(window, dashboardSpec);
    m_dashboardWindow = window;
    track(window);
    window->show();
    window->raise();
    window->activateWindow();
}

void ReportWindowManager::openTimeline() {
    if (raiseIfVisible(m_timelineWindow)) {
        return;
    }
    auto* window = new StandaloneTimelineView(m_context);
    prepareWindow(window, timelineSpec);
    m_timelineWindow = window;
    track(window);
    window->show();
    window->raise();
    window->activateWindow();
}

void ReportWindowManager::track(QWidget* window) {
    m_tracked.append(window);
    m_releaseDue = true;
    connect(window, &QObject::destroyed, this, &ReportWindowManager::scheduleRelease);
}

void ReportWindowManager::releaseMemory() {
    QPixmapCache::clear();
    HeapTrim::releaseFreeMemory();
}

void ReportWindowManager::scheduleRelease() {
    // Later, from the event loop: the window is still being torn down, and windows closed together
    // (or a window replaced by a new one) are counted once.
    if (m_releaseScheduled) {
        return;
    }
    m_releaseScheduled = true;
    QMetaObject::invokeMethod(this, &ReportWindowManager::releaseIfAllClosed, Qt::QueuedConnection);
}

void ReportWindowManager::releaseIfAllClosed() {
    m_releaseScheduled = false;
    m_tracked.removeIf([](const QPointer<QWidget>& window) { return window.isNull(); });
    if (!m_tracked.isEmpty() || !m_releaseDue) {
        return;
    }
    m_releaseDue = false;
    if (m_memoryRelease) {
        m_memoryRelease();
    }
}

namespace {
// Gives the window this outer frame (its title bar and borders included).
void placeFrame(QWidget* window, const QRect& frame) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
    window->setGeometry(frame.marginsRemoved(margins));
}
} // namespace

void ReportWindowManager::openSideBySide() {
    openDashboard();
    openTimeline();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const int half = area.width() / 2;
    if (m_dashboardWindow) {
        placeFrame(m_dashboardWindow, QRect(area.left(), area.top(), half, area.height()));
    }
    if (m_timelineWindow) {
        placeFrame(m_timelineWindow,
                   QRect(area.left() + half, area.top(), area.width() - half, area.height()));
    }
}
