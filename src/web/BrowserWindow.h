#pragma once

#include <QWebEngineView>

class BrowserPage;
class QWebEngineProfile;

// The helper's window: a web view as a top-level window that stays above other windows, can be
// resized down to 400 x 300 and goes back and forward with Alt+Left/Right and the mouse's side
// buttons.
class BrowserWindow : public QWebEngineView {
    Q_OBJECT

public:
    BrowserWindow(QWebEngineProfile* profile, bool trace, QWidget* parent = nullptr);

    BrowserPage* browserPage() const { return m_page; }

    // Gives the window its content size and puts it in the middle of the screen under the mouse
    // pointer (the primary screen when there is none).
    void placeCentred(int width, int height);
    // Shows the window in front and gives it the keyboard focus.
    void present();

Q_SIGNALS:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BrowserPage* m_page = nullptr;
};
