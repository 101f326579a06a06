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
    , m_context(context) {
    m_releaseTimer.setSingleShot(true);
    m_releaseTimer.setInterval(defaultReleaseDelay);
    connect(&m_releaseTimer, &QTimer::timeout, this, &ReportWindowManager::releaseIfAllClosed);
}

ReportWindowManager::~ReportWindowManager() {
    delete m_dashboardWindow.data();
    delete m_timelineWindow.data();
}

void ReportWindowManager::prepareWindow(QWidget* window, const WindowSpec& spec) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlags(Qt::Window);
    window->setWindowTitle(spec.title);
    // The preset sizes are the least it gets: a window opens large enough to hold its content and
    // never below what its layout needs, both within the screen's available area.
    QSize minimum = spec.minimumSize.expandedTo(window->minimumSizeHint());
    const QSize size = openingSize(window, spec);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    if (area.isValid()) {
        minimum = minimum.boundedTo(area.size());
    }
    window->setMinimumSize(minimum);
    window->resize(size);
    if (area.isValid()) {
        window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

QSize ReportWindowManager::openingSize(const QWidget* window, const WindowSpec& spec) {
    QSize size = spec.size.expandedTo(window->sizeHint())
                     .expandedTo(spec.minimumSize)
                     .expandedTo(window->minimumSizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    return size;
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
    // Every window freed starts the delay again; the check runs from the event loop, the window gone.
    connect(window, &QObject::destroyed, &m_releaseTimer, qOverload<>(&QTimer::start));
}

void ReportWindowManager::releaseMemory() {
    QPixmapCache::clear();
    HeapTrim::releaseFreeMemory();
}

void ReportWindowManager::releaseIfAllClosed() {
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
