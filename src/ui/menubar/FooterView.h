#pragma once

#include <QDateTime>
#include <QList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class EmailForwarder;
class ProgressIndicator;
class QHBoxLayout;
class QLabel;
class QMenu;
class QToolButton;
class SilentMode;

// The popover's bottom block. While silent mode is on: "Silent (<time left>)" with a button that
// ends it; the time left is worked out when the line is shown and then every 60 s. While it is off:
// the "Silent Mode" menu of durations. Below: Dashboard (the Tools week view), "Email → ClickUp"
// while e-mail forwarding is configured (read whenever the footer is shown) and the version, then
// Settings, Updates and Quit. The outcome of a forward shows under the buttons for
// forwardingResultMs.
class FooterView : public QWidget {
    Q_OBJECT

public:
    // Opens an address for the user under a window title.
    using UrlOpener = std::function<void(const QUrl& url, const QString& title)>;

    // What the footer shows and asks: silent mode (its line, menu and countdown), the e-mail forward
    // (its button and outcome) and how addresses are opened (the Dashboard).
    struct Services {
        SilentMode& silentMode;
        EmailForwarder& forwarder;
        UrlOpener openPage;
    };

    struct SilentModeChoice {
        QString title;
        double seconds;
    };

    static constexpr int countdownIntervalMs = 60 * 1000;
    static constexpr int forwardingResultMs = 6 * 1000;
    // The Tools server whose week view the Dashboard button opens (not the configured "toolsUrl").
    static inline const QString dashboardHost = QStringLiteral("tools.brisvane.com");
    static inline const QString dashboardPath = QStringLiteral("/admin/tool/brisvane/view/weekview.php");

    explicit FooterView(Services services, QWidget* parent = nullptr);

    // The durations of the silent-mode menu, in its order.
    static QList<SilentModeChoice> silentModeChoices();
    // The Dashboard address: https, the built-in host and the week-view path.
    static QUrl dashboardUrl();
    // The time left of a silent mode ending at `end`: "" without an end, "ending" once it has passed,
    // else "<h>h <m>m left", "<m>m left" or "<1m left" (whole hours and minutes, seconds dropped).
    static QString remainingText(const std::optional<QDateTime>& end, const QDateTime& now);

    void setUrlOpener(UrlOpener opener) { m_urlOpener = std::move(opener); }
    // What the Updates button runs after logging (the application gives the updater's manual check;
    // nothing runs when none is set).
    void setUpdateChecker(std::function<void()> checker) { m_updateChecker = std::move(checker); }
    // What Quit runs; QApplication::quit() unless set.
    void setQuitAction(std::function<void()> quit) { m_quitAction = std::move(quit); }
    // What Settings runs. Until one is set the button stays disabled and says why.
    void setSettingsAction(std::function<void()> action);
    // Tests shorten the countdown's period.
    void setCountdownInterval(int milliseconds) { m_countdownTimer.setInterval(milliseconds); }

    QString silentModeRemainingText() const { return m_silentModeRemainingText; }
    const QTimer& countdownTimer() const { return m_countdownTimer; }
    QMenu* silentModeMenu() const { return m_silentModeMenu; }
    bool isForwardingEmail() const { return m_isForwardingEmail; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The sections, top to bottom; each makes its widgets and connects them.
    QWidget* buildSilentModeLine(const QPalette& colors);
    QHBoxLayout* buildSilentModeMenu(const QPalette& colors);
    QHBoxLayout* buildFirstRow(const QPalette& colors);
    QLabel* buildForwardingResult();
    QHBoxLayout* buildSecondRow(const QPalette& colors);

    void updateSilentModeLine();
    void updateCountdown();
    void updateRemainingText();
    void openDashboard();
    void updateEmailButton();
    void forwardEmail();
    void setForwardingEmail(bool forwarding);
    void showForwardingResult(const QString& text, bool succeeded);
    void checkForUpdates();
    void quit();

    SilentMode& m_silentMode;
    EmailForwarder& m_forwarder;
    UrlOpener m_urlOpener;
    std::function<void()> m_updateChecker;
    std::function<void()> m_quitAction;
    std::function<void()> m_settingsAction;
    QString m_silentModeRemainingText;
    QTimer m_countdownTimer;
    bool m_isForwardingEmail = false;
    QTimer m_forwardingResultTimer;

    QWidget* m_silentLine = nullptr;
    QLabel* m_silentLabel = nullptr;
    QToolButton* m_disableSilentButton = nullptr;
    QToolButton* m_silentModeButton = nullptr;
    QMenu* m_silentModeMenu = nullptr;
    QToolButton* m_dashboardButton = nullptr;
    QToolButton* m_emailButton = nullptr;
    ProgressIndicator* m_emailProgress = nullptr;
    QLabel* m_forwardingResultLabel = nullptr;
    QLabel* m_versionLabel = nullptr;
    QToolButton* m_settingsButton = nullptr;
    QToolButton* m_updatesButton = nullptr;
    QToolButton* m_quitButton = nullptr;
};
