#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

// Whether the X server has blanked the screen: its screen saver is on (MIT-SCREEN-SAVER), which is
// also what most screen lockers of X11 switch on. Follows the server's notifications, so asking costs
// nothing and no timer runs. Off X11, or on a server without the extension, the screen never counts
// as blanked. GUI thread only.
class ScreenSaverWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY activeChanged)

public:
    explicit ScreenSaverWatch(QObject* parent = nullptr);
    ~ScreenSaverWatch() override;

    // The screen saver is on: nothing the application draws is seen.
    bool isActive() const { return m_active; }
    // The server tells us when the screen saver comes and goes.
    bool isWatching() const { return m_watching; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

Q_SIGNALS:
    void activeChanged(bool active);

private:
    void setActive(bool active);

    bool m_watching = false;
    bool m_active = false;
    uint8_t m_firstEvent = 0;
};
