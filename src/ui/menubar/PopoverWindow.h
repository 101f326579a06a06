#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QSize>
#include <QWidget>

class AppState;
class FloatingAlerts;
class MenuBarView;
class ToastAlerts;
class UserDefaultsService;

// The popover: a frameless popup window holding MenuBarView, 340 wide and as high as the view asks
// (MenuBarView::popoverHeight(): the setting "popoverHeight"); it follows every change of the
// setting, as the resize handle writes it. It hangs from the tray item (below it when the item is in the
// upper half of the screen, above it otherwise), kept within the screen's available area, and closes on a
// click outside it or Escape.
//
// Showing it hides the tooltips other programs show (a panel's tooltip of the tray item stays up
// otherwise, as the popup's pointer grab keeps the pointer's leaving from the panel) and marks the popover
// visible in AppState, restarts the periodic refresh (which refreshes at once) and closes the floating
// reminder panel and the no-timer toast; hiding it marks it hidden.
class PopoverWindow : public QWidget {
    Q_OBJECT

public:
    // A click on the tray item that closes the popover (as a click outside it) must not open it again.
    static constexpr int reopenGuardMs = 300;

    PopoverWindow(AppState& appState, UserDefaultsService& settings, ToastAlerts& toastAlerts,
                  FloatingAlerts& floatingAlerts, QWidget* parent = nullptr);
    ~PopoverWindow() override;

    // The window's place for an anchor (the tray item's area, in screen coordinates) within a
    // screen's available area: centred under the anchor, or over it when the anchor lies in the lower
    // half, then moved (and if need be shortened) to fit.
    static QRect placement(const QRect& anchor, const QSize& size, const QRect& available);

    MenuBarView* content() const { return m_content; }
    QSize preferredSize() const;

    // Shows the popover hanging from the anchor (screen coordinates), or moves it there when shown.
    void showAt(const QRect& anchor);
    // A click on the tray item: hides a shown popover, shows a hidden one at the anchor.
    void toggleAt(const QRect& anchor);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyPlacement();
    void hideOnRequest();
    void onSettingChanged(const QString& key);

    AppState& m_appState;
    UserDefaultsService& m_settings;
    ToastAlerts& m_toastAlerts;
    FloatingAlerts& m_floatingAlerts;
    MenuBarView* m_content;
    QRect m_anchor;
    int m_height;
    QElapsedTimer m_sinceHidden;
    bool m_hidingOnRequest = false;
};
