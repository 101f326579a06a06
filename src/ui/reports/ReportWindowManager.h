#pragma once

#include "ui/reports/ReportContext.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>

// Opens the "Dashboard" and "Day Planning Timeline" windows. A window still open is raised, not made
// again; a closed window is freed at once (its memory goes back), so the next request makes a new one
// with fresh state. New windows are centred on the primary screen.
//
// Once the last report window (these two and the report window it is told of) has been freed and
// none has opened for a while, it gives back what they filled, once, not on every close: see
// releaseMemory().
class ReportWindowManager : public QObject {
    Q_OBJECT

public:
    struct WindowSpec {
        QString title;
        QSize size;
        QSize minimumSize;
    };
    static const WindowSpec dashboardSpec;
    static const WindowSpec timelineSpec;

    explicit ReportWindowManager(const ReportContext& context, QObject* parent = nullptr);
    // Closes and frees the windows still open.
    ~ReportWindowManager() override;

    void openDashboard();
    void openTimeline();
    // Both, then the dashboard on the left half and the timeline on the right half of the primary
    // screen's available area, each at its full height (windows already open are moved too).
    void openSideBySide();

    // The window open now, or none.
    QWidget* dashboardWindow() const { return m_dashboardWindow; }
    QWidget* timelineWindow() const { return m_timelineWindow; }

    // What every report window shares: made a window of its own that is freed when closed, with the
    // title, centred on the primary screen's available area. It opens at openingSize() and its
    // minimum is its preset one or what its layout needs, whichever is larger (within the area).
    static void prepareWindow(QWidget* window, const WindowSpec& spec);
    // The preset size, grown to the window's size hint and minimum, within the available area.
    static QSize openingSize(const QWidget* window, const WindowSpec& spec);
    // When the window is there and shown: brings it to the front and gives it the focus. False when a
    // new one is needed.
    static bool raiseIfVisible(QWidget* window);

    // Counts a window made elsewhere (the "App Usage Report" window) among the report windows.
    void track(QWidget* window);

    // Runs once when the last report window has been freed and the release delay has passed with no
    // report window open; by default releaseMemory(). Tests give a counting one.
    using MemoryRelease = std::function<void()>;
    void setMemoryRelease(MemoryRelease release) { m_memoryRelease = std::move(release); }
    // A window opened again soon after the last one closed finds the heap still there: once given
    // back, the next opening of a heavy day faults its pages in again (some 40 ms).
    static constexpr std::chrono::milliseconds defaultReleaseDelay{10000};
    void setReleaseDelay(std::chrono::milliseconds delay) { m_releaseTimer.setInterval(delay); }
    // Drops the process's pixmap cache (the icons and style pieces rendered for the windows; whatever
    // is still shown renders them again) and gives the heap freed with the windows back to the system.
    static void releaseMemory();

private:
    void releaseIfAllClosed();

    const ReportContext& m_context;
    QPointer<QWidget> m_dashboardWindow;
    QPointer<QWidget> m_timelineWindow;
    QList<QPointer<QWidget>> m_tracked;
    MemoryRelease m_memoryRelease = &ReportWindowManager::releaseMemory;
    // A report window was opened since the last release.
    bool m_releaseDue = false;
    // Started again by every report window freed.
    QTimer m_releaseTimer;
};
