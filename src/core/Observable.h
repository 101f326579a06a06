#pragma once

#include <utility>

// Assigns a property's backing field and emits its change signal only when the value differs.
// Observable state objects use it in every setter, so an equal value never notifies.
//   setIfChanged(m_isLoading, loading, this, &WorklogState::isLoadingChanged);
template <typename Field, typename Value, typename Object, typename Signal>
bool setIfChanged(Field& field, Value&& value, Object* object, Signal signal) {
    if (field == value) {
        return false;
    }
    field = std::forward<Value>(value);
    (object->*signal)();
    return true;
}
