#pragma once

#include <QObject>

// Process-wide signals of the reminder windows, for whoever needs to hear them.
//  - dismissToastAlert: the no-timer toast's snooze menu ends the reminder; duration is the silent
//    mode asked for in seconds (900, 3600, 14400 or 86400), 0 when none. ToastAlertService listens.
//  - openPopoverRequested: the user asked to open the popover from a reminder (the floating panel's
//    "Open Timer" button). The popover connects to it and shows itself.
class AlertHub : public QObject {
    Q_OBJECT

public:
    static AlertHub& instance();

    void postDismissToastAlert(double duration) { emit dismissToastAlert(duration); }
    void requestOpenPopover() { emit openPopoverRequested(); }

Q_SIGNALS:
    void dismissToastAlert(double duration);
    void openPopoverRequested();

private:
    using QObject::QObject;
};
