#include "platform/WorkerRead.h"

#include <QCoroFuture>
#include <QPromise>
#include <QThreadPool>

#include <memory>

QCoro::Task<BrowserTab> WorkerRead::tab(std::function<BrowserTab()> read) {
    auto promise = std::make_shared<QPromise<BrowserTab>>();
    QFuture<BrowserTab> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, read = std::move(read)] {
        promise->addResult(read());
        promise->finish();
    });
    const BrowserTab tab = co_await future;
    co_return tab;
}
