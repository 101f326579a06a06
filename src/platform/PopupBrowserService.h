#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class SettingsStore;
class WebHelperProcess;

// The one place that opens web addresses for the user. By default an address opens in a small
// browser window of our own: the pendlow-web helper, started for each page with the title and the
// content size of the settings "popupBrowserWidth" and "popupBrowserHeight" (0 or unset: 900 x 700;
// it can be shrunk to 400 x 300), floating above other windows and centred on the screen. Opening
// another page ends the helper showing the previous one, so at most one such window exists.
// With "useDefaultBrowser" on, the address goes to the desktop's default browser instead and an open
// window of ours is left alone. Only http and https addresses are opened; others are refused and
// logged. Used on the GUI thread only.
class PopupBrowserService : public QObject {
    Q_OBJECT

public:
    using DesktopOpener = std::function<bool(const QUrl&)>;

    explicit PopupBrowserService(SettingsStore& settings, QObject* parent = nullptr);
    // Closes the window.
    ~PopupBrowserService() override;

    void open(const QUrl& url, const QString& title);

    // The helper executable; WebHelperProcess::defaultProgram() unless set.
    void setHelperProgram(const QString& program) { m_program = program; }
    QString helperProgram() const { return m_program; }
    // What opens an address in the default browser; QDesktopServices::openUrl unless set.
    void setDesktopOpener(DesktopOpener opener) { m_desktopOpener = std::move(opener); }

    // The process id of the helper showing the latest page while it runs, else 0.
    qint64 windowProcessId() const;
    // Ends the helper showing the latest page, if any.
    void closeWindow();

private:
    SettingsStore& m_settings;
    QString m_program;
    DesktopOpener m_desktopOpener;
    QPointer<WebHelperProcess> m_window;
};
