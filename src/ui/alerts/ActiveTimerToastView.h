#pragma once

#include "ui/alerts/AlertCardView.h"

#include <QString>

// The active-timer toast's content: a record icon, "Timer Running" over the task name (one line),
// and the elapsed time in green. It has no controls.
class ActiveTimerToastView : public AlertCardView {
    Q_OBJECT

public:
    ActiveTimerToastView(const QString& taskName, const QString& elapsedTime, QWidget* parent = nullptr);

    QString taskName() const { return m_taskName; }
    QString elapsedTime() const { return m_elapsedTime; }

protected:
    QBrush borderBrush(const QRectF& card) const override;

private:
    QString m_taskName;
    QString m_elapsedTime;
};
