#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

// Turns the given termination signals (SIGTERM, SIGINT, ...) into a Qt signal on the event loop, so
// that a process ends its work in order: the tray application saves the usage day, the web helper
// shuts its web engine down (the profile's cookies and storage are written). The handler only
// writes to a socket; received() is emitted on the GUI thread. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QList<int> signalNumbers, QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received();

private:
    QList<int> m_signalNumbers;
    QSocketNotifier* m_notifier = nullptr;
};
