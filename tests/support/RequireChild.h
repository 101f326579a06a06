#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// The descendant of `parent` of type T with that object name; a missing one ends the test run, so a
// renamed widget reads as such rather than as a crash.
template <typename T>
T* requireChild(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no child %s", name);
    }
    return found;
}
