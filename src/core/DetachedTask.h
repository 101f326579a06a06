#pragma once

#include "core/Error.h"
#include "core/Log.h"

#include <QCoroTask>
#include <QPointer>
#include <QString>

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

// Awaits the task and keeps whatever it throws: the failure is logged as `failure` in the category
// and goes no further, so the returned task never throws.
QCoro::Task<> settled(QCoro::Task<> task, QString failure, Log::Category category);

// Lets a task that nobody awaits (started by a button, a menu item, a timer or a signal) run on by
// itself: whatever it throws is logged as `failure` in the category and goes no further.
void runDetached(QCoro::Task<> task, const QString& failure, Log::Category category);

// A task that runs work(*object) when it starts and the object still lives, and does nothing once
// the object is gone: for callbacks that must not keep their owner alive. work returns a task.
template <typename T, typename Work>
QCoro::Task<> whileAlive(QPointer<T> object, Work work) {
    if (object) {
        co_await work(*object);
    }
}

namespace detail {

template <typename T>
using Caught = std::variant<std::conditional_t<std::is_void_v<T>, std::monostate, T>, std::exception_ptr>;

// The task's value (none for a task without one), or what it threw. Never throws itself.
template <typename T>
QCoro::Task<Caught<T>> caught(QCoro::Task<T> task) {
    // Built whole, as a Caught: a bare exception_ptr handed to co_return would be taken by QCoro's
    // promise for a failure of this task itself.
    std::exception_ptr failure;
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            co_return Caught<T>{std::in_place_index<0>};
        } else {
            T value = co_await std::move(task);
            co_return Caught<T>{std::in_place_index<0>, std::move(value)};
        }
    } catch (...) {
        failure = std::current_exception();
    }
    co_return Caught<T>{std::in_place_index<1>, failure};
}

} // namespace detail

// A failure handler for whenDone that only logs: "<failure>: <description>" in the category.
inline std::function<void(const QString&)> loggedAs(QString failure, Log::Category category) {
    return [failure = std::move(failure), category](const QString& description) {
        Log::error(failure + QStringLiteral(": ") + description, category);
    };
}

// Hands the outcome of a task to the object that started it, usually a view: done(value) (done() for a
// task without a value) when the task returns, failed(text) with the description of what it threw
// (Error::describe) when it fails; a failed that takes the std::exception_ptr gets the failure itself, for
// the few views that tell failures apart. Once `context` is gone neither runs and the outcome is dropped, so
// the callbacks may use the object freely and the object needs no guard of its own. The task runs on in any
// case; it is not cancelled with the object.
template <typename T, typename Context, typename Done, typename Failed>
void whenDone(QCoro::Task<T> task, Context* context, Done done, Failed failed) {
    QCoro::Task outcome = detail::caught(std::move(task));
    QCoro::connect(std::move(outcome), context,
                   [done = std::move(done), failed = std::move(failed)](detail::Caught<T> result) {
                       if (auto* error = std::get_if<std::exception_ptr>(&result)) {
                           if constexpr (std::is_invocable_v<Failed&, std::exception_ptr>) {
                               failed(*error);
                           } else {
                               failed(Error::describe(*error));
                           }
                       } else if constexpr (std::is_void_v<T>) {
                           done();
                       } else {
                           done(std::move(std::get<0>(result)));
                       }
                   });
}

// whenDone over two steps: `then` is started once `first` has returned (and only while `context`
// lives), done() runs once it has returned too; the first failure of either goes to failed.
template <typename Context, typename Done, typename Failed>
void whenBothDone(QCoro::Task<> first, std::function<QCoro::Task<>()> then, Context* context, Done done,
                  Failed failed) {
    whenDone(
        std::move(first), context,
        [then = std::move(then), context, done, failed] { whenDone(then(), context, done, failed); }, failed);
}
