#pragma once

#include "services/usage/BrowserUrlProbeResult.h"
#include "ui/settings/LogWindow.h"
#include "ui/settings/SettingsPage.h"
#include "ui/settings/WatchedFlag.h"

#include <QCoroTask>
#include <QPointer>
#include <QTimer>

#include <functional>

class AppUsageStorageService;
class AppUsageTrackingService;
class LaunchAtLogin;
class ProgressIndicator;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;
class QVBoxLayout;
class SettingsResultLabel;
class SettingsStore;

// The "Preferences" tab: the settings that belong to no service of their own. It has no Save button:
// every control acts when the user changes it.
//
// - "Launch at login" writes or removes the autostart entry (LaunchAtLogin) and always shows what is
//   on disk; a failure is logged ("Launch at login failed: ...") and shown below the switch.
// - Switches, the retention picker and the size sliders write their setting when the user changes
//   them (loading writes nothing).
// - The tracking switch and the silent-mode controls show and change states the application owns,
//   through the flags and actions it gives.
// - "Clear All Usage Data" asks first, then drops the tracker's sessions in memory (the open one too)
//   and removes every stored day; a failure is shown.
// - Window titles: whether they can be read on this desktop, asked again every 2 s while the tab is
//   shown; where they cannot, "What Is Needed" explains why.
// - "Browser URL capture": Test runs the probe it is given and shows its outcome.
// - "Show Log" opens the log window.
class PreferencesTab : public SettingsPage {
    Q_OBJECT

public:
    // Reads the active browser tab's address once.
    using UrlProbe = std::function<QCoro::Task<BrowserUrlProbeResult>()>;

    struct Services {
        SettingsStore& settings;
        // The store the tracker keeps its day files in.
        AppUsageStorageService& usageStorage;
        LaunchAtLogin& launchAtLogin;
        // The tracker whose sessions "Clear All Usage Data" drops from memory; none: there is none.
        AppUsageTrackingService* tracker = nullptr;
        // Whether app-usage tracking is on, and the switch; switching it on or off starts or stops
        // the tracker, and the flag tells what the application settled on.
        WatchedFlag trackingActive = {};
        std::function<void(bool enabled)> setTracking = {};
        // Silent mode: whether it is on, and the actions of its Enable menu and Disable button.
        WatchedFlag silentModeActive = {};
        std::function<QCoro::Task<>(double seconds)> enableSilentMode = {};
        std::function<QCoro::Task<>()> disableSilentMode = {};
        // Whether window titles can be read now; none: they cannot.
        std::function<bool()> windowTitlesReadable = {};
        // none: the Test button stays disabled.
        UrlProbe browserUrlProbe = {};
        // Asks before all usage data is deleted; none: a dialog asks.
        std::function<bool(QWidget* parent)> confirmClearAll = {};
        // The log window's reader; none: RecentLogReader::read().
        LogWindow::Reader logReader = {};
    };

    static constexpr int permissionPollMs = 2000;

    explicit PreferencesTab(Services services, QWidget* parent = nullptr);
    ~PreferencesTab() override;

    QString label() const override { return QStringLiteral("Preferences"); }
    QString iconName() const override { return QStringLiteral("preferences-system"); }
    // Reads every stored value and the launch-at-login state, and starts the window-title poll.
    void load() override;

    // The log window, once "Show Log" made it.
    LogWindow* logWindow() const { return m_logWindow; }
    const QTimer& permissionTimer() const { return m_permissionTimer; }

Q_SIGNALS:
    void urlTestFinished();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // The sections, top to bottom: each builds its controls into the page and connects them.
    void buildGeneral(QVBoxLayout* page);
    void buildTracking(QVBoxLayout* page);
    void buildWindowTitles(QVBoxLayout* page);
    void buildBrowserUrl(QVBoxLayout* page);
    void buildBrowser(QVBoxLayout* page);
    void buildSilentMode(QVBoxLayout* page);
    void buildDebug(QVBoxLayout* page);
    // Writes the switch's setting when the user toggles it.
    void writeOnToggle(QCheckBox* box, void (SettingsStore::*setter)(bool));

    SettingsStore& settings() const { return m_services.settings; }
    void setLaunchAtLogin(bool enabled);
    void clearAllUsageData();
    void testBrowserUrl();
    void showUrlTestResult(BrowserUrlProbeResult result);
    void showLog();
    void updateTrackingRows();
    void updateSilentMode();
    void updateWindowTitles();
    void updatePopupSize();
    void updateSizeRows();

    Services m_services;
    bool m_loading = false;
    bool m_isTestingURL = false;
    QTimer m_permissionTimer;
    QPointer<LogWindow> m_logWindow;

    QCheckBox* m_launchAtLogin;
    SettingsResultLabel* m_launchResult;
    QCheckBox* m_disableTimerWarning;
    QCheckBox* m_lightMode;
    QCheckBox* m_tracking;
    QWidget* m_trackingRows;
    QCheckBox* m_showInMenu;
    QComboBox* m_retention;
    QPushButton* m_clearAll;
    ProgressIndicator* m_clearProgress;
    SettingsResultLabel* m_clearResult;
    QWidget* m_windowTitlesSection;
    QLabel* m_windowTitlesCheck;
    QPushButton* m_whatIsNeeded;
    QLabel* m_whatIsNeededText;
    QLabel* m_windowTitlesWarning;
    QWidget* m_urlSection;
    ProgressIndicator* m_urlProgress;
    QPushButton* m_urlTest;
    SettingsResultLabel* m_urlResult;
    QCheckBox* m_defaultBrowser;
    QWidget* m_sizeRows;
    QLabel* m_popupSize;
    QSlider* m_width;
    QSlider* m_height;
    QLabel* m_silentStatus;
    QPushButton* m_silentDisable;
    QToolButton* m_silentEnable;
    QCheckBox* m_debugLogging;
    QPushButton* m_showLog;
};
