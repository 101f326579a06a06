#include "ui/alerts/SnoozeMenu.h"

const QList<SnoozeMenu::Choice>& SnoozeMenu::choices() {
    static const QList<Choice> list{{QStringLiteral("15 minutes"), 900},
                                    {QStringLiteral("1 hour"), 3600},
                                    {QStringLiteral("4 hours"), 14400},
                                    {QStringLiteral("1 day"), 86400}};
    return list;
}

SnoozeMenu::SnoozeMenu(QWidget* parent)
    : QMenu(parent) {
    for (const Choice& choice : choices()) {
        const double seconds = choice.seconds;
        addAction(choice.title, this, [this, seconds] { emit chosen(seconds); });
    }
}
