#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal quit of the event loop (QCoreApplication::quit), so that the
// application's aboutToQuit work (saving the usage day) runs before the process ends. The handler
// only writes to a pipe; the quit happens on the GUI thread. One instance per process.
class QuitOnSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;

private:
    void handleSignal();

    QSocketNotifier* m_notifier = nullptr;
};
