#include "core/DetachedTask.h"

QCoro::Task<> settled(QCoro::Task<> task, QString failure, Log::Category category) {
    try {
        co_await std::move(task);
    } catch (const std::exception& error) {
        Log::error(failure, category, error);
    } catch (...) {
        Log::error(failure, category);
    }
}

void runDetached(QCoro::Task<> task, const QString& failure, Log::Category category) {
    settled(std::move(task), failure, category);
}
