#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A D-Bus daemon of the test's own: nothing else talks on it and nothing is started on demand, so
// tests that register well-known names (a fake notification server, ...) can run in parallel.
// Stopped, with every connection made through it closed, when the object goes.
class PrivateDBus {
public:
    PrivateDBus();
    ~PrivateDBus();
    PrivateDBus(const PrivateDBus&) = delete;
    PrivateDBus& operator=(const PrivateDBus&) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    // A new connection to the bus under a name of its own (each is a separate bus client).
    QDBusConnection connect(const QString& name);
    // Closes one connection made by connect().
    void disconnect(const QString& name);

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};
