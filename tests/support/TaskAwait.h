#pragma once

#include "core/Error.h"

#include <QCoroTask>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>

// Runs a coroutine to its end in a nested event loop and keeps its result or its exception.
// (QCoro::waitFor never returns when the awaited task throws; this does, and it has a time-out.)
template <typename T>
struct TaskOutcome {
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

    bool finished = false;
    std::optional<Value> value;
    std::exception_ptr error;

    bool failed() const { return error != nullptr; }
    QString errorDescription() const { return Error::describe(error); }

    // The exception as the given type, or nothing when it is none or another type.
    template <typename E>
    std::optional<E> errorAs() const {
        if (!error) {
            return std::nullopt;
        }
        try {
            std::rethrow_exception(error);
        } catch (const E& e) {
            return e;
        } catch (...) {
            return std::nullopt;
        }
    }
};

namespace detail {
template <typename T>
QCoro::Task<> captureOutcome(QCoro::Task<T> task, std::shared_ptr<TaskOutcome<T>> outcome,
                             std::shared_ptr<QPointer<QEventLoop>> loop) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome->value.emplace();
        } else {
            outcome->value.emplace(co_await std::move(task));
        }
    } catch (...) {
        outcome->error = std::current_exception();
    }
    outcome->finished = true;
    if (*loop) {
        (*loop)->quit();
    }
}
} // namespace detail

template <typename T>
TaskOutcome<T> awaitTask(QCoro::Task<T>&& task, int timeoutMs = 15000) {
    auto outcome = std::make_shared<TaskOutcome<T>>();
    QEventLoop loop;
    auto loopPointer = std::make_shared<QPointer<QEventLoop>>(&loop);
    detail::captureOutcome<T>(std::move(task), outcome, loopPointer);
    if (!outcome->finished) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    *loopPointer = nullptr;
    return *outcome;
}
