#include "ui/settings/PreferencesTab.h"

#include "core/DetachedTask.h"
#include "core/Error.h"
#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/LaunchAtLogin.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageTrackingService.h"
#include "ui/kit/AlertIcons.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/settings/SettingsGlyphs.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr qreal captionSize = 10;
constexpr int sizeStep = 50;
const QList<int> retentionChoices{7, 14, 30, 60, 90};

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(PopoverStyle::font(captionSize));
    label->setWordWrap(true);
    PopoverStyle::setTextColor(label, PopoverStyle::secondaryText(parent->palette()));
    return label;
}

// A section: a titled group whose rows go into the returned layout, and an optional footer below them.
QVBoxLayout* section(QVBoxLayout* page, QGroupBox* box, const QString& footer = {}) {
    auto* content = new QVBoxLayout;
    auto* outer = new QVBoxLayout(box);
    outer->addLayout(content);
    if (!footer.isEmpty()) {
        outer->addWidget(caption(footer, box));
    }
    page->addWidget(box);
    return content;
}

QCheckBox* checkBox(const QString& text, const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

bool askBeforeClearing(QWidget* parent) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Clear All Usage Data"),
                    QStringLiteral("Delete all recorded app usage?"), QMessageBox::NoButton, parent);
    box.setInformativeText(QStringLiteral("Every stored day and today's sessions not yet saved are deleted. "
                                          "This cannot be undone."));
    QPushButton* remove = box.addButton(QStringLiteral("Delete"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == remove;
}

// Runs the probe from a copy of its own, which lives as long as the probe does.
QCoro::Task<BrowserUrlProbeResult> probed(PreferencesTab::UrlProbe probe) {
    co_return co_await probe();
}

} // namespace

PreferencesTab::PreferencesTab(Services services, QWidget* parent)
    : SettingsPage(parent)
    , m_services(std::move(services)) {
    setObjectName(QStringLiteral("preferencesTab"));
    // The sections are taller than the settings window: they scroll.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(scroll);
    auto* page = new QVBoxLayout(content);
    scroll->setWidget(content);
    outer->addWidget(scroll);

    buildGeneral(page);
    buildTracking(page);
    buildWindowTitles(page);
    buildBrowserUrl(page);
    buildBrowser(page);
    buildSilentMode(page);
    buildDebug(page);
    page->addStretch(1);

    m_permissionTimer.setInterval(permissionPollMs);
    connect(&m_permissionTimer, &QTimer::timeout, this, &PreferencesTab::updateWindowTitles);

    updateTrackingRows();
    updateSilentMode();
    updateWindowTitles();
}

// Writes happen on the user's changes only: loading sets the controls with m_loading on.
void PreferencesTab::writeOnToggle(QCheckBox* box, void (SettingsStore::*setter)(bool)) {
    connect(box, &QCheckBox::toggled, this, [this, setter](bool on) {
        if (!m_loading) {
            (settings().*setter)(on);
        }
    });
}

void PreferencesTab::buildGeneral(QVBoxLayout* page) {
    auto* general = section(page, new QGroupBox(QStringLiteral("General"), this));
    m_launchAtLogin =
        checkBox(QStringLiteral("Launch at login"), QStringLiteral("launchAtLoginSwitch"), this);
    m_launchResult = new SettingsResultLabel(this);
    m_launchResult->setObjectName(QStringLiteral("launchAtLoginResult"));
    m_disableTimerWarning = checkBox(QStringLiteral("Disable timer warning notifications"),
                                     QStringLiteral("disableTimerWarningSwitch"), this);
    m_lightMode = checkBox(QStringLiteral("Light mode (no colors)"), QStringLiteral("lightModeSwitch"), this);
    general->addWidget(m_launchAtLogin);
    general->addWidget(m_launchResult);
    general->addWidget(m_disableTimerWarning);
    general->addWidget(m_lightMode);

    connect(m_launchAtLogin, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) {
            setLaunchAtLogin(on);
        }
    });
    writeOnToggle(m_disableTimerWarning, &SettingsStore::setDisableTimerWarning);
    writeOnToggle(m_lightMode, &SettingsStore::setLightMode);
}

void PreferencesTab::buildTracking(QVBoxLayout* page) {
    auto* tracking =
        section(page, new QGroupBox(QStringLiteral("App Usage Tracking"), this),
                QStringLiteral("Track which apps you use throughout the day. All data stored locally."));
    m_tracking =
        checkBox(QStringLiteral("Enable app usage tracking"), QStringLiteral("trackingSwitch"), this);
    tracking->addWidget(m_tracking);
    m_trackingRows = new QWidget(this);
    m_trackingRows->setObjectName(QStringLiteral("trackingRows"));
    auto* rows = new QVBoxLayout(m_trackingRows);
    rows->setContentsMargins(0, 0, 0, 0);
    m_showInMenu =
        checkBox(QStringLiteral("Show in menu bar"), QStringLiteral("showInMenuSwitch"), m_trackingRows);
    rows->addWidget(m_showInMenu);
    auto* retentionRow = new QHBoxLayout;
    retentionRow->addWidget(new QLabel(QStringLiteral("Keep history for"), m_trackingRows));
    retentionRow->addStretch(1);
    m_retention = new QComboBox(m_trackingRows);
    m_retention->setObjectName(QStringLiteral("retentionPicker"));
    for (const int days : retentionChoices) {
        m_retention->addItem(QStringLiteral("%1 days").arg(days), days);
    }
    retentionRow->addWidget(m_retention);
    rows->addLayout(retentionRow);
    auto* clearRow = new QHBoxLayout;
    m_clearAll = new QPushButton(QStringLiteral("Clear All Usage Data"), m_trackingRows);
    m_clearAll->setObjectName(QStringLiteral("clearAllButton"));
    PopoverStyle::setTextColor(m_clearAll, PopoverStyle::red(palette()));
    m_clearProgress = new ProgressIndicator(PopoverStyle::pixelSize(12), m_trackingRows);
    m_clearProgress->hide();
    clearRow->addWidget(m_clearAll);
    clearRow->addWidget(m_clearProgress);
    clearRow->addStretch(1);
    rows->addLayout(clearRow);
    m_clearResult = new SettingsResultLabel(m_trackingRows);
    m_clearResult->setObjectName(QStringLiteral("clearResult"));
    rows->addWidget(m_clearResult);
    tracking->addWidget(m_trackingRows);

    writeOnToggle(m_showInMenu, &SettingsStore::setShowAppUsageInMenu);
    connect(m_tracking, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) {
            if (m_services.setTracking) {
                m_services.setTracking(on);
            }
            // The switch shows the state the application settled on.
            updateTrackingRows();
        }
    });
    connect(m_retention, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_loading && index >= 0) {
            settings().setAppUsageRetentionDays(m_retention->itemData(index).toInt());
        }
    });
    connect(m_clearAll, &QPushButton::clicked, this, &PreferencesTab::clearAllUsageData);
    m_services.trackingActive.watch(this, [this] { updateTrackingRows(); });
}

// Shown while tracking is on.
void PreferencesTab::buildWindowTitles(QVBoxLayout* page) {
    auto* titlesBox = new QGroupBox(QStringLiteral("Window Titles"), this);
    m_windowTitlesSection = titlesBox;
    m_windowTitlesSection->setObjectName(QStringLiteral("windowTitlesSection"));
    auto* titles = new QVBoxLayout(titlesBox);
    auto* titlesRow = new QHBoxLayout;
    titlesRow->addWidget(new QLabel(QStringLiteral("Window & Context Tracking"), titlesBox));
    titlesRow->addStretch(1);
    m_windowTitlesCheck = new QLabel(titlesBox);
    m_windowTitlesCheck->setObjectName(QStringLiteral("windowTitlesCheck"));
    m_windowTitlesCheck->setPixmap(SettingsGlyphs::checkmarkDisc(
        PopoverStyle::pixelSize(14), PopoverStyle::green(palette()), devicePixelRatioF()));
    m_windowTitlesCheck->setToolTip(QStringLiteral("Window titles can be read"));
    m_whatIsNeeded = new QPushButton(QStringLiteral("What Is Needed"), titlesBox);
    m_whatIsNeeded->setObjectName(QStringLiteral("whatIsNeededButton"));
    titlesRow->addWidget(m_windowTitlesCheck);
    titlesRow->addWidget(m_whatIsNeeded);
    titles->addLayout(titlesRow);
    m_whatIsNeededText = caption(
        QStringLiteral(
            "Pendlow reads window titles from the X11 window manager: it needs an X11 session (not "
            "Wayland) whose window manager names the active window (_NET_ACTIVE_WINDOW, as GNOME, KDE, "
            "Xfce and most others do). Log in to such a session and the titles are read within two "
            "seconds; no permission has to be granted."),
        titlesBox);
    m_whatIsNeededText->setObjectName(QStringLiteral("whatIsNeededText"));
    m_whatIsNeededText->hide();
    titles->addWidget(m_whatIsNeededText);
    auto* titlesFooter = new QVBoxLayout;
    titlesFooter->setSpacing(4);
    titlesFooter->addWidget(caption(
        QStringLiteral(
            "Captures window titles, browser URLs, and email subjects for detailed activity tracking."),
        titlesBox));
    m_windowTitlesWarning =
        caption(QStringLiteral(
                    "Window titles cannot be read on this desktop: it needs an X11 window manager that names "
                    "the active window."),
                titlesBox);
    m_windowTitlesWarning->setObjectName(QStringLiteral("windowTitlesWarning"));
    PopoverStyle::setTextColor(m_windowTitlesWarning, PopoverStyle::orange(palette()));
    titlesFooter->addWidget(m_windowTitlesWarning);
    titlesFooter->addWidget(caption(
        QStringLiteral("Sensitive content (passwords, banking) is automatically redacted."), titlesBox));
    titles->addLayout(titlesFooter);
    page->addWidget(titlesBox);

    connect(m_whatIsNeeded, &QPushButton::clicked, this,
            [this] { m_whatIsNeededText->setVisible(m_whatIsNeededText->isHidden()); });
}

// Shown while tracking is on.
void PreferencesTab::buildBrowserUrl(QVBoxLayout* page) {
    auto* urlBox = new QGroupBox(QStringLiteral("Browser URL Capture"), this);
    m_urlSection = urlBox;
    m_urlSection->setObjectName(QStringLiteral("browserUrlSection"));
    auto* url = new QVBoxLayout(urlBox);
    auto* urlRow = new QHBoxLayout;
    urlRow->addWidget(new QLabel(QStringLiteral("Browser URL capture"), urlBox));
    urlRow->addStretch(1);
    m_urlProgress = new ProgressIndicator(PopoverStyle::pixelSize(12), urlBox);
    m_urlProgress->hide();
    m_urlTest = new QPushButton(QStringLiteral("Test"), urlBox);
    m_urlTest->setObjectName(QStringLiteral("urlTestButton"));
    m_urlTest->setEnabled(bool(m_services.browserUrlProbe));
    urlRow->addWidget(m_urlProgress);
    urlRow->addWidget(m_urlTest);
    url->addLayout(urlRow);
    m_urlResult = new SettingsResultLabel(urlBox);
    m_urlResult->setObjectName(QStringLiteral("urlTestResult"));
    url->addWidget(m_urlResult);
    url->addWidget(
        caption(QStringLiteral("Test if the address of the active browser tab can be read. A browser "
                               "must be running with at least one window open. Firefox and the Chromium "
                               "family (Chrome, Brave, Edge, Opera, Vivaldi) give addresses."),
                urlBox));
    page->addWidget(urlBox);

    connect(m_urlTest, &QPushButton::clicked, this, &PreferencesTab::testBrowserUrl);
}

void PreferencesTab::buildBrowser(QVBoxLayout* page) {
    auto* browser =
        section(page, new QGroupBox(QStringLiteral("Browser"), this),
                QStringLiteral("Enable to use your default browser with its extensions. Disable for "
                               "in-app popup."));
    m_defaultBrowser = checkBox(QStringLiteral("Open links in default browser"),
                                QStringLiteral("defaultBrowserSwitch"), this);
    browser->addWidget(m_defaultBrowser);
    m_sizeRows = new QWidget(this);
    m_sizeRows->setObjectName(QStringLiteral("popupSizeRows"));
    auto* sizeRows = new QVBoxLayout(m_sizeRows);
    sizeRows->setContentsMargins(0, 0, 0, 0);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel(QStringLiteral("Popup size"), m_sizeRows));
    sizeRow->addStretch(1);
    m_popupSize = new QLabel(m_sizeRows);
    m_popupSize->setObjectName(QStringLiteral("popupSizeLabel"));
    PopoverStyle::setTextColor(m_popupSize, PopoverStyle::secondaryText(palette()));
    sizeRow->addWidget(m_popupSize);
    sizeRows->addLayout(sizeRow);
    const auto slider = [this, sizeRows](const QString& text, const QString& name, int from, int to) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(text, m_sizeRows);
        label->setFixedWidth(50);
        auto* bar = new QSlider(Qt::Horizontal, m_sizeRows);
        bar->setObjectName(name);
        // In steps of 50: the slider counts steps.
        bar->setRange(from / sizeStep, to / sizeStep);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        row->addWidget(label);
        row->addWidget(bar, 1);
        sizeRows->addLayout(row);
        return bar;
    };
    m_width = slider(QStringLiteral("Width"), QStringLiteral("widthSlider"), 600, 1400);
    m_height = slider(QStringLiteral("Height"), QStringLiteral("heightSlider"), 400, 1000);
    browser->addWidget(m_sizeRows);

    writeOnToggle(m_defaultBrowser, &SettingsStore::setUseDefaultBrowser);
    connect(m_defaultBrowser, &QCheckBox::toggled, this, &PreferencesTab::updateSizeRows);
    connect(m_width, &QSlider::valueChanged, this, [this](int steps) {
        if (!m_loading) {
            settings().setPopupBrowserWidth(steps * sizeStep);
            updatePopupSize();
        }
    });
    connect(m_height, &QSlider::valueChanged, this, [this](int steps) {
        if (!m_loading) {
            settings().setPopupBrowserHeight(steps * sizeStep);
            updatePopupSize();
        }
    });
}

void PreferencesTab::buildSilentMode(QVBoxLayout* page) {
    auto* silent = section(page, new QGroupBox(QStringLiteral("Silent Mode"), this));
    auto* silentRow = new QHBoxLayout;
    silentRow->addWidget(new QLabel(QStringLiteral("Silent mode"), this));
    silentRow->addStretch(1);
    m_silentStatus = new QLabel(this);
    m_silentStatus->setObjectName(QStringLiteral("silentModeStatus"));
    m_silentDisable = new QPushButton(QStringLiteral("Disable"), this);
    m_silentDisable->setObjectName(QStringLiteral("silentDisableButton"));
    m_silentEnable = new QToolButton(this);
    m_silentEnable->setObjectName(QStringLiteral("silentEnableButton"));
    m_silentEnable->setText(QStringLiteral("Enable"));
    m_silentEnable->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(m_silentEnable);
    const QList<std::pair<QString, double>> durations{{QStringLiteral("1 hour"), 3600},
                                                      {QStringLiteral("4 hours"), 14400},
                                                      {QStringLiteral("1 day"), 86400},
                                                      {QStringLiteral("2 days"), 172800}};
    for (const auto& [text, seconds] : durations) {
        const double duration = seconds;
        menu->addAction(text, this, [this, duration] {
            if (m_services.enableSilentMode) {
                runDetached(m_services.enableSilentMode(duration),
                            QStringLiteral("Enabling silent mode failed"), Log::Category::ui);
            }
        });
    }
    m_silentEnable->setMenu(menu);
    silentRow->addWidget(m_silentStatus);
    silentRow->addWidget(m_silentDisable);
    silentRow->addWidget(m_silentEnable);
    silent->addLayout(silentRow);

    connect(m_silentDisable, &QPushButton::clicked, this, [this] {
        if (m_services.disableSilentMode) {
            runDetached(m_services.disableSilentMode(), QStringLiteral("Disabling silent mode failed"),
                        Log::Category::ui);
        }
    });
    m_services.silentModeActive.watch(this, [this] { updateSilentMode(); });
}

void PreferencesTab::buildDebug(QVBoxLayout* page) {
    auto* debug =
        section(page, new QGroupBox(QStringLiteral("Debug"), this),
                QStringLiteral("Show Log lists Pendlow's recent lines: from the systemd journal "
                               "(journalctl -t pendlow) or, without one, from its standard error."));
    m_debugLogging =
        checkBox(QStringLiteral("Enable debug logging"), QStringLiteral("debugLoggingSwitch"), this);
    debug->addWidget(m_debugLogging);
    m_showLog = new QPushButton(QStringLiteral("Show Log"), this);
    m_showLog->setObjectName(QStringLiteral("showLogButton"));
    m_showLog->setIcon(AlertIcons::icon(QStringLiteral("utilities-terminal")));
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(m_showLog);
    logRow->addStretch(1);
    debug->addLayout(logRow);

    writeOnToggle(m_debugLogging, &SettingsStore::setDebugLoggingEnabled);
    connect(m_showLog, &QPushButton::clicked, this, &PreferencesTab::showLog);
}

PreferencesTab::~PreferencesTab() {
    delete m_logWindow;
}

void PreferencesTab::load() {
    m_loading = true;
    const SettingsStore& store = settings();
    m_launchAtLogin->setChecked(m_services.launchAtLogin.isEnabled());
    m_disableTimerWarning->setChecked(store.disableTimerWarning());
    m_lightMode->setChecked(store.lightMode());
    m_defaultBrowser->setChecked(store.useDefaultBrowser());
    m_width->setValue(int(std::lround(double(store.popupBrowserWidth()) / sizeStep)));
    m_height->setValue(int(std::lround(double(store.popupBrowserHeight()) / sizeStep)));
    const int retention = store.appUsageRetentionDays();
    int index = m_retention->findData(retention);
    if (index < 0) {
        // A number stored by hand that is none of the choices is shown as it is.
        m_retention->addItem(QStringLiteral("%1 days").arg(retention), retention);
        index = m_retention->count() - 1;
    }
    m_retention->setCurrentIndex(index);
    m_showInMenu->setChecked(store.showAppUsageInMenu());
    m_debugLogging->setChecked(store.debugLoggingEnabled());
    m_loading = false;

    m_launchResult->clear();
    updatePopupSize();
    updateSizeRows();
    updateTrackingRows();
    updateSilentMode();
    updateWindowTitles();
    m_permissionTimer.start();
}

void PreferencesTab::hideEvent(QHideEvent* event) {
    m_permissionTimer.stop();
    SettingsPage::hideEvent(event);
}

void PreferencesTab::setLaunchAtLogin(bool enabled) {
    try {
        m_services.launchAtLogin.setEnabled(enabled);
        m_launchResult->clear();
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Launch at login failed: ") + Error::describe(error),
                   Log::Category::general);
        m_launchResult->showFailure(QStringLiteral("Launch at login failed: ") + Error::describe(error));
    }
    // The switch shows what is on disk.
    const QSignalBlocker blocker(m_launchAtLogin);
    m_launchAtLogin->setChecked(m_services.launchAtLogin.isEnabled());
}

void PreferencesTab::clearAllUsageData() {
    const bool confirmed =
        m_services.confirmClearAll ? m_services.confirmClearAll(this) : askBeforeClearing(this);
    if (!confirmed) {
        return;
    }
    m_clearAll->setEnabled(false);
    m_clearProgress->show();
    m_clearResult->clear();
    // The tracker's memory first: otherwise its next save would write today's sessions back.
    if (AppUsageTrackingService* tracker = m_services.tracker) {
        tracker->setCurrentSession(std::nullopt);
        tracker->setTodaySessions({});
    }
    try {
        m_services.usageStorage.deleteAllData();
        Log::notice(QStringLiteral("All usage data was deleted"), Log::Category::storage);
        m_clearResult->showSuccess(QStringLiteral("All usage data deleted."));
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Clearing all usage data failed"), Log::Category::storage, error);
        m_clearResult->showFailure(QStringLiteral("Could not delete all usage data: ") +
                                   Error::describe(error));
    }
    m_clearProgress->hide();
    m_clearAll->setEnabled(true);
}

void PreferencesTab::testBrowserUrl() {
    if (!m_services.browserUrlProbe || m_isTestingURL) {
        return;
    }
    m_isTestingURL = true;
    m_urlTest->setEnabled(false);
    m_urlResult->clear();
    m_urlProgress->show();
    whenDone(
        probed(m_services.browserUrlProbe), this,
        [this](BrowserUrlProbeResult result) { showUrlTestResult(std::move(result)); },
        [this](const QString& failure) {
            showUrlTestResult(BrowserUrlProbeResult{false, failure});
        });
}

void PreferencesTab::showUrlTestResult(BrowserUrlProbeResult result) {
    if (result.message.isEmpty() && !result.success) {
        result.message = QStringLiteral("Unknown error");
    }
    m_urlResult->showResult(result.success, result.message);
    m_urlProgress->hide();
    m_isTestingURL = false;
    m_urlTest->setEnabled(true);
    Q_EMIT urlTestFinished();
}

void PreferencesTab::showLog() {
    if (!m_logWindow) {
        m_logWindow = new LogWindow(m_services.logReader);
        m_logWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    m_logWindow->present();
}

void PreferencesTab::updateTrackingRows() {
    const bool active = m_services.trackingActive.value();
    {
        const QSignalBlocker blocker(m_tracking);
        m_tracking->setChecked(active);
    }
    m_trackingRows->setVisible(active);
    m_windowTitlesSection->setVisible(active);
    m_urlSection->setVisible(active);
}

void PreferencesTab::updateSilentMode() {
    const bool active = m_services.silentModeActive.value();
    m_silentStatus->setText(active ? QStringLiteral("Active") : QStringLiteral("Inactive"));
    PopoverStyle::setTextColor(m_silentStatus, active ? PopoverStyle::orange(palette())
                                                      : PopoverStyle::secondaryText(palette()));
    m_silentDisable->setVisible(active);
    m_silentEnable->setVisible(!active);
}

void PreferencesTab::updateWindowTitles() {
    const bool readable = m_services.windowTitlesReadable && m_services.windowTitlesReadable();
    m_windowTitlesCheck->setVisible(readable);
    m_whatIsNeeded->setVisible(!readable);
    m_windowTitlesWarning->setVisible(!readable);
    if (readable) {
        m_whatIsNeededText->hide();
    }
}

void PreferencesTab::updatePopupSize() {
    const SettingsStore& store = settings();
    m_popupSize->setText(
        QStringLiteral("%1 × %2").arg(store.popupBrowserWidth()).arg(store.popupBrowserHeight()));
}

void PreferencesTab::updateSizeRows() {
    m_sizeRows->setVisible(!m_defaultBrowser->isChecked());
}
