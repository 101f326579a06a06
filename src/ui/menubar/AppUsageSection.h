#pragma once

#include <QWidget>

#include <functional>

class AppUsageTrackingService;
class QLabel;
class QPushButton;
class QVBoxLayout;

// "Today's Activity" of the popover: today's total, the five applications used longest with a share
// bar, a line of contexts; while tracking is off, an invitation to turn it on. Built anew from the
// tracker whenever today's sessions or the tracking switch change; the session still open is not
// counted until it ends. Its owner hands in the tracker, the switch and what turns tracking on
// (MenuBarView::bindAppUsageSection).
class AppUsageSection : public QWidget {
    Q_OBJECT

public:
    explicit AppUsageSection(QWidget* parent = nullptr);

    // Shown rows at most, and context lines at most.
    static constexpr int maximumApps = 5;
    static constexpr int maximumContexts = 5;

    // What "View Full Report" does; without one the button is not shown.
    void setReportOpener(std::function<void()> opener);
    // The tracker whose sessions it shows (none: no sessions). It follows the last tracker it was given.
    void setTracker(AppUsageTrackingService* tracker);
    // Whether tracking is on: today's activity, or the invitation to turn it on.
    void setTrackingActive(bool active);
    // What "Enable Tracking" does.
    void setTrackingEnabler(std::function<void()> enabler) { m_trackingEnabler = std::move(enabler); }

public Q_SLOTS:
    void rebuild();

private:
    void buildActive();
    void buildDisabled();
    void addReportButton(QVBoxLayout* list);

    QVBoxLayout* m_layout;
    QWidget* m_body = nullptr;
    AppUsageTrackingService* m_tracker = nullptr;
    QObject* m_followedTracker = nullptr;
    bool m_trackingActive = false;
    std::function<void()> m_reportOpener;
    std::function<void()> m_trackingEnabler;
};
