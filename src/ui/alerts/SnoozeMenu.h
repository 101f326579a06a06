#pragma once

#include <QList>
#include <QMenu>

// The snooze choices of the no-timer reminders, in order: "15 minutes", "1 hour", "4 hours", "1 day".
// Choosing one emits chosen() with its length in seconds.
class SnoozeMenu : public QMenu {
    Q_OBJECT

public:
    struct Choice {
        QString title;
        double seconds;
    };
    static const QList<Choice>& choices();

    explicit SnoozeMenu(QWidget* parent = nullptr);

Q_SIGNALS:
    void chosen(double seconds);
};
