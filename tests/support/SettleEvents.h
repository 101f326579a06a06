#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

// Lets the event loop run `rounds` times, each time deleting first the objects whose deleteLater()
// was asked for (windows closed with Qt::WA_DeleteOnClose, widgets replaced): a closed window is then
// gone, and what its going started has run.
inline void settleEvents(int rounds = 1) {
    for (int i = 0; i < rounds; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}
