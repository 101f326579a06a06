#pragma once

#include "platform/FrontAppSource.h"

#include <QHash>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <memory>

// The front application on X11: a connection of its own to the display, PropertyNotify events of the
// root window's _NET_ACTIVE_WINDOW (no polling), and the active window's _NET_WM_PID, WM_CLASS and
// _GTK_APPLICATION_ID, matched to a desktop file for the name. Every reply is followed by taking the
// events libxcb queued meanwhile, so no switch waits for an unrelated wake-up. Titles come from _NET_WM_NAME
// (UTF-8), else WM_NAME. Windows of this process, windows that are gone and windows without any name are not
// reported. Without a display it reports nothing and reads no titles.
class X11FrontAppSource : public FrontAppSource {
    Q_OBJECT

public:
    // Titles longer than this many bytes are cut.
    static constexpr quint32 maximumTitleBytes = 64 * 1024;

    explicit X11FrontAppSource(QObject* parent = nullptr);
    ~X11FrontAppSource() override;

    void startObserving() override;
    void stopObserving() override;
    std::optional<FrontWindow> frontmostWindow() override;
    std::optional<QString> windowTitle(quint32 windowId) override;
    bool canReadWindowTitles() const override;

private:
    struct Names {
        QString desktopFileId;
        QString name;
    };

    void readEvents();
    void reportFront();
    void noteEvent(xcb_generic_event_t* event);
    void takeQueuedEvents();
    std::optional<FrontWindow> describe(xcb_window_t window);
    Names namesFor(const QString& gtkApplicationId, const QString& instance, const QString& windowClass);
    QByteArray property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, quint32 maxBytes,
                        bool* ok = nullptr);
    xcb_atom_t atom(const char* name);

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::unique_ptr<QSocketNotifier> m_notifier;
    xcb_atom_t m_activeAtom = XCB_ATOM_NONE;
    bool m_observing = false;
    bool m_activeChanged = false;
    bool m_reading = false;
    bool m_readScheduled = false;
    std::optional<FrontWindow> m_lastReported;
    QHash<QString, Names> m_namesCache;
    QHash<QByteArray, xcb_atom_t> m_atoms;
};
