#pragma once

#include "platform/BrowserTab.h"

#include <QCoroTask>

#include <functional>

// Runs a browser source's file reading on a pool thread, so that no file is read on the GUI thread,
// and resumes the caller with its tab there.
class WorkerRead {
public:
    static QCoro::Task<BrowserTab> tab(std::function<BrowserTab()> read);
};
