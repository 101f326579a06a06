#pragma once

#include "core/Error.h"

#include <QString>

// A failed call to the desktop's notification server: the D-Bus error name and its message
// (for example "org.freedesktop.DBus.Error.ServiceUnknown" when no server runs).
class DesktopNotificationError : public Error {
public:
    DesktopNotificationError(QString name, QString message)
        : m_name(std::move(name))
        , m_message(std::move(message)) {}

    QString name() const { return m_name; }
    // The server's or the bus's message, or the error name when the message is empty.
    QString description() const override { return m_message.isEmpty() ? m_name : m_message; }

private:
    QString m_name;
    QString m_message;
};
