#include "menubar/DetachedTask.h"

namespace {
QCoro::Task<> settle(QCoro::Task<> task, QString failure, Log::Category category) {
    try {
        co_await std::move(task);
    } catch (const std::exception& error) {
        Log::error(failure, category, error);
    } catch (...) {
        Log::error(failure, category);
    }
}
} // namespace

void runDetached(QCoro::Task<> task, const QString& failure, Log::Category category) {
    settle(std::move(task), failure, category);
}
