#pragma once

#include <QWidget>

class DayPlanningState;
class QLabel;
class QPushButton;
class QToolButton;

// The head of the day timeline: a banner with the state's error ("Sync failed: ...") or refusal
// notice and a dismiss button; the day ("Monday, Mar 10") between the previous/next buttons and
// "Today"; the number of planned entries, the planned total, the logged total (when above zero) and
// the "Sync (n)" button while entries wait for a sync (disabled while one runs).
class TimelineHeader : public QWidget {
    Q_OBJECT

public:
    explicit TimelineHeader(DayPlanningState& state, QWidget* parent = nullptr);

    QWidget* banner() const { return m_banner; }
    QLabel* bannerText() const { return m_bannerText; }
    QLabel* dateLabel() const { return m_date; }
    QLabel* plannedCountLabel() const { return m_plannedCount; }
    QLabel* plannedTotalLabel() const { return m_plannedTotal; }
    QLabel* loggedTotalLabel() const { return m_loggedTotal; }
    QPushButton* syncButton() const { return m_sync; }
    QToolButton* previousButton() const { return m_previous; }
    QToolButton* nextButton() const { return m_next; }
    QToolButton* todayButton() const { return m_today; }
    QToolButton* dismissButton() const { return m_dismiss; }

private:
    void refresh();

    DayPlanningState& m_state;
    QWidget* m_banner;
    QLabel* m_bannerText;
    QToolButton* m_dismiss;
    QToolButton* m_previous;
    QLabel* m_date;
    QToolButton* m_next;
    QToolButton* m_today;
    QLabel* m_plannedCount;
    QLabel* m_plannedTotal;
    QLabel* m_loggedTotal;
    QPushButton* m_sync;
};
