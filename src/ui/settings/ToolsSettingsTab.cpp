#include "ui/settings/ToolsSettingsTab.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Error.h"
#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "services/tools/AuthError.h"
#include "services/tools/ToolsLoginCoordinator.h"
#include "services/tools/ToolsSignIn.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretForm.h"
#include "ui/settings/SettingsFormStyle.h"
#include "ui/settings/SettingsGlyphs.h"
#include "ui/settings/SettingsResultLabel.h"
#include "ui/settings/ToolsConnectionCheck.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr Log::Category category = Log::Category::ui;
constexpr qreal glyphSize = 14;

// An open circle: no sign-in.
QLabel* ringLabel(int size, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(parent);
    const qreal dpr = parent->devicePixelRatioF();
    QPixmap pixmap(QSize(size, size) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal width = qMax(1.2, size * 0.1);
    painter.setPen(QPen(color, width));
    painter.drawEllipse(QRectF(width / 2, width / 2, size - width, size - width));
    painter.end();
    label->setPixmap(pixmap);
    return label;
}

bool isCancellation(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const AuthError& error) {
        return error.kind() == AuthError::Kind::authenticationCancelled;
    } catch (...) {
        return false;
    }
}
} // namespace

ToolsSettingsTab::ToolsSettingsTab(SecretStore& keychain, SettingsStore& settings, ToolsSignIn& auth,
                                   Actions actions, QWidget* parent)
    : SettingsPage(parent)
    , m_keychain(keychain)
    , m_settings(settings)
    , m_auth(auth)
    , m_actions(std::move(actions))
    , m_loginCoordinator(new ToolsLoginCoordinator(auth, this))
    , m_urlField(SettingsFormStyle::textField(u"toolsUrlField"_s, false, this))
    , m_tokenField(SettingsFormStyle::textField(u"wsTokenField"_s, true, this))
    , m_userKeyField(SettingsFormStyle::textField(u"userKeyField"_s, false, this))
    , m_result(new SettingsResultLabel(this))
    , m_form(new SecretForm(keychain, KeychainItem::toolsWSToken, m_tokenField, m_result, this))
    , m_saved(new SavedConfirmation(this))
    , m_testButton(new QPushButton(u"Test"_s, this))
    , m_saveButton(new QPushButton(u"Save"_s, this)) {
    setObjectName(u"toolsSettingsTab"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(SettingsFormStyle::margin, SettingsFormStyle::margin,
                               SettingsFormStyle::margin, SettingsFormStyle::margin);
    buildTeamSection(layout);
    buildPersonalSection(layout);
    layout->addStretch();

    connect(m_testButton, &QPushButton::clicked, this, &ToolsSettingsTab::startTest);
    connect(m_saveButton, &QPushButton::clicked, this, &ToolsSettingsTab::save);
    connect(m_loginButton, &QPushButton::clicked, this, &ToolsSettingsTab::loginToDashboard);
    connect(m_logoutButton, &QPushButton::clicked, this, &ToolsSettingsTab::logout);
    for (QLineEdit* field : {m_urlField, m_tokenField, m_userKeyField}) {
        connect(field, &QLineEdit::textChanged, this, &ToolsSettingsTab::updateButtons);
    }
    updateButtons();
    updateLoginSection();
}

ToolsSettingsTab::~ToolsSettingsTab() = default;

// The shared credentials, with Test and Save.
void ToolsSettingsTab::buildTeamSection(QVBoxLayout* layout) {
    QGroupBox* team = SettingsFormStyle::section(
        u"API Credentials (Team)"_s, u"WS Token is shared with your team. Get it from your Moodle admin."_s,
        layout, this);
    QFormLayout* rows = SettingsFormStyle::formRows(team);
    rows->addRow(u"Tools URL"_s, m_urlField);
    rows->addRow(u"WS Token"_s, m_tokenField);
    rows->addRow(u"User Key"_s, m_userKeyField);
    m_testButton->setObjectName(u"testButton"_s);
    m_saveButton->setObjectName(u"saveButton"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_result, 1);
    buttons->addStretch();
    buttons->addWidget(m_saved);
    buttons->addWidget(m_testButton);
    buttons->addWidget(m_saveButton);
    rows->addRow(buttons);
}

// The personal sign-in: who is signed in and Logout, or Login.
void ToolsSettingsTab::buildPersonalSection(QVBoxLayout* layout) {
    QGroupBox* personal = SettingsFormStyle::section(
        u"Dashboard Login (Personal)"_s,
        u"Login to access Dashboard without re-entering credentials. Persists across app restarts."_s, layout,
        this);
    auto* personalRows = new QVBoxLayout(personal);
    buildLoggedInRow(personal);
    buildLoggedOutRow(personal);

    m_loginErrorLabel = new QLabel(personal);
    m_loginErrorLabel->setObjectName(u"loginErrorLabel"_s);
    m_loginErrorLabel->setFont(PopoverStyle::font(SettingsFormStyle::captionSize));
    m_loginErrorLabel->setWordWrap(true);
    m_loginErrorLabel->setTextFormat(Qt::PlainText);
    PopoverStyle::setTextColor(m_loginErrorLabel, PopoverStyle::red(palette()));

    personalRows->addWidget(m_loggedInRow);
    personalRows->addWidget(m_loggedOutRow);
    personalRows->addWidget(m_loginErrorLabel);
}

void ToolsSettingsTab::buildLoggedInRow(QWidget* personal) {
    m_loggedInRow = new QWidget(personal);
    m_loggedInRow->setObjectName(u"loggedInRow"_s);
    auto* loggedIn = new QHBoxLayout(m_loggedInRow);
    loggedIn->setContentsMargins(0, 0, 0, 0);
    auto* check = new QLabel(m_loggedInRow);
    const int glyph = PopoverStyle::pixelSize(glyphSize);
    check->setPixmap(
        SettingsGlyphs::checkmarkDisc(glyph, PopoverStyle::green(palette()), devicePixelRatioF()));
    auto* who = new QVBoxLayout;
    who->setSpacing(2);
    m_userLabel = new QLabel(m_loggedInRow);
    m_userLabel->setObjectName(u"dashboardUserLabel"_s);
    m_userLabel->setTextFormat(Qt::PlainText);
    m_sessionLabel = SettingsFormStyle::caption(QString(), m_loggedInRow);
    m_sessionLabel->setObjectName(u"sessionExpiryLabel"_s);
    who->addWidget(m_userLabel);
    who->addWidget(m_sessionLabel);
    m_logoutButton = new QPushButton(u"Logout"_s, m_loggedInRow);
    m_logoutButton->setObjectName(u"logoutButton"_s);
    loggedIn->addWidget(check, 0, Qt::AlignTop);
    loggedIn->addLayout(who, 1);
    loggedIn->addWidget(m_logoutButton);
}

void ToolsSettingsTab::buildLoggedOutRow(QWidget* personal) {
    m_loggedOutRow = new QWidget(personal);
    m_loggedOutRow->setObjectName(u"loggedOutRow"_s);
    auto* loggedOut = new QHBoxLayout(m_loggedOutRow);
    loggedOut->setContentsMargins(0, 0, 0, 0);
    const QColor secondary = PopoverStyle::secondaryText(palette());
    loggedOut->addWidget(ringLabel(PopoverStyle::pixelSize(glyphSize), secondary, m_loggedOutRow));
    auto* notLoggedIn = new QLabel(u"Not logged in"_s, m_loggedOutRow);
    notLoggedIn->setObjectName(u"notLoggedInLabel"_s);
    PopoverStyle::setTextColor(notLoggedIn, secondary);
    loggedOut->addWidget(notLoggedIn);
    loggedOut->addStretch();
    m_loginProgress = new ProgressIndicator(PopoverStyle::pixelSize(glyphSize), m_loggedOutRow);
    m_loginProgress->setObjectName(u"loginProgress"_s);
    m_loginButton = new QPushButton(u"Login to Dashboard"_s, m_loggedOutRow);
    m_loginButton->setObjectName(u"loginButton"_s);
    loggedOut->addWidget(m_loginProgress);
    loggedOut->addWidget(m_loginButton);
}

std::optional<QString> ToolsSettingsTab::sessionExpiryText(double expiry, const QDateTime& now) {
    if (!(expiry > 0)) {
        return std::nullopt;
    }
    const double remaining = expiry - double(now.toMSecsSinceEpoch()) / 1000.0;
    if (remaining <= 0) {
        return u"Session expired (will refresh automatically)"_s;
    }
    const qint64 minutes = qint64(remaining / 60);
    if (minutes >= 61) {
        return u"Session expires in %1h %2m"_s.arg(minutes / 60).arg(minutes % 60);
    }
    return u"Session expires in %1 minutes"_s.arg(minutes);
}

void ToolsSettingsTab::load() {
    const quint64 generation = ++m_loadGeneration;
    const QString storedUrl = m_settings.toolsUrl();
    const QString storedKey = m_settings.userKey();
    m_urlField->setText(storedUrl.isEmpty() ? defaultToolsUrl : storedUrl);
    m_userKeyField->setText(storedKey.isEmpty() ? defaultUserKey : storedKey);
    const QString failure = u"Loading the Timesheet settings failed"_s;
    whenDone(
        m_keychain.getValue(KeychainItem::toolsWSToken), this,
        [this, generation, failure](std::optional<QString> token) {
            if (generation != m_loadGeneration) {
                return;
            }
            m_tokenField->setText(token.value_or(QString()));
            checkLoginStatus(failure, [this] { emit loadFinished(); });
        },
        loggedAs(failure, category));
}

void ToolsSettingsTab::checkLoginStatus(const QString& failure, std::function<void()> then) {
    whenDone(
        m_auth.isAuthenticated(), this,
        [this, then](bool authenticated) {
            if (!authenticated) {
                m_isDashboardLoggedIn = false;
                m_dashboardUser.reset();
                m_sessionExpiryDescription.reset();
                updateLoginSection();
                emit loginStatusChecked();
                if (then) {
                    then();
                }
                return;
            }
            m_isDashboardLoggedIn = true;
            updateLoginSection();
            whenDone(
                m_auth.fetchUserInfo(), this,
                [this, then](UserInfoResponse user) { showSignedInUser(user, then); },
                [this, then](const QString& failure) {
                    // The check still shows the sign-in (and a name found earlier).
                    Log::debug(u"Reading the signed-in user failed: "_s + failure, category);
                    showSignedInUser(std::nullopt, then);
                });
        },
        loggedAs(failure, category));
}

void ToolsSettingsTab::showSignedInUser(const std::optional<UserInfoResponse>& user,
                                        const std::function<void()>& then) {
    if (user) {
        m_dashboardUser = user->fullname;
        if (user->userkey && !user->userkey->isEmpty() && m_userKeyField->text().isEmpty()) {
            m_userKeyField->setText(*user->userkey);
            m_settings.setUserKey(*user->userkey);
        }
    }
    if (std::optional<QString> text = sessionExpiryText(m_settings.toolsTokenExpiry(), Clock::now())) {
        m_sessionExpiryDescription = std::move(text);
    }
    updateLoginSection();
    emit loginStatusChecked();
    if (then) {
        then();
    }
}

void ToolsSettingsTab::startTest() {
    if (m_isTestingConnection) {
        return;
    }
    m_isTestingConnection = true;
    m_result->clear();
    updateButtons();
    QString url = m_urlField->text().trimmed();
    QString userKey = m_userKeyField->text().trimmed();
    QString token = m_tokenField->text().trimmed();
    whenDone(
        ToolsConnectionCheck::run(std::move(url), std::move(userKey), std::move(token)), this,
        [this](const PersonalPlanning& planning) {
            m_result->showSuccess(u"Connected! Found %1 planning tasks"_s.arg(int(planning.tasks.size())));
            finishTest();
        },
        [this](const QString& failure) {
            m_result->showFailure(failure);
            finishTest();
        });
}

void ToolsSettingsTab::finishTest() {
    m_isTestingConnection = false;
    updateButtons();
    emit testFinished();
}

void ToolsSettingsTab::save() {
    if (m_isSaving) {
        return;
    }
    setSaving(true);
    const QString url = m_urlField->text();
    const QString userKey = m_userKeyField->text().trimmed();
    m_form->saveSecret(
        [this, url, userKey] {
            m_settings.setToolsUrl(url);
            m_settings.setUserKey(userKey);
            m_userKeyField->setText(userKey);
            reloadAndFetch();
        },
        // Nothing else is written: the address, the user key and the configuration stay.
        [this] {
            setSaving(false);
            emit saveFinished();
        },
        saveFailed());
}

void ToolsSettingsTab::reloadAndFetch() {
    whenBothDone(
        m_actions.reloadConfiguration(), m_actions.fetchPlanning, this,
        [this] {
            m_saved->flash();
            setSaving(false);
            emit saveFinished();
        },
        saveFailed());
}

std::function<void(const QString&)> ToolsSettingsTab::saveFailed() {
    return loggedAs(u"Saving the Timesheet settings failed"_s, category);
}

void ToolsSettingsTab::loginToDashboard() {
    if (m_isLoggingIn) {
        return;
    }
    m_isLoggingIn = true;
    m_loginError.reset();
    updateLoginSection();
    // The sign-in builds its addresses from the stored address.
    m_settings.setToolsUrl(m_urlField->text());
    const QPointer<ToolsSettingsTab> self(this);
    ToolsLoginCoordinator::CompletionHandler handler = [self](std::exception_ptr failure) {
        if (self) {
            self->handleLoginResult(failure);
        }
    };
    m_loginCoordinator->setCompletionHandler(handler);
    runDetached(m_loginCoordinator->login(handler), u"The dashboard sign-in failed"_s, category);
}

void ToolsSettingsTab::handleLoginResult(std::exception_ptr failure) {
    m_isLoggingIn = false;
    if (failure) {
        if (!isCancellation(failure)) {
            m_loginError = Error::describe(failure);
        }
        updateLoginSection();
        emit loginFinished();
        return;
    }
    updateLoginSection();
    checkLoginStatus(u"Checking the dashboard sign-in failed"_s, [this] { emit loginFinished(); });
}

void ToolsSettingsTab::logout() {
    m_logoutButton->setEnabled(false);
    whenDone(
        m_auth.logout(), this, [this] { showSignedOut(); },
        [this](const QString& failure) {
            // The check below shows what is stored.
            Log::warning(u"Signing out of the dashboard failed: "_s + failure, category);
            showSignedOut();
        });
}

void ToolsSettingsTab::showSignedOut() {
    m_logoutButton->setEnabled(true);
    checkLoginStatus(u"The dashboard sign-out failed"_s);
}

void ToolsSettingsTab::setSaving(bool saving) {
    m_isSaving = saving;
    updateButtons();
}

void ToolsSettingsTab::updateButtons() {
    m_saveButton->setEnabled(!m_isSaving);
    m_testButton->setEnabled(!m_isTestingConnection && !m_tokenField->text().isEmpty() &&
                             !m_userKeyField->text().isEmpty());
    m_loginButton->setEnabled(!m_isLoggingIn && !m_urlField->text().isEmpty());
}

void ToolsSettingsTab::updateLoginSection() {
    m_loggedInRow->setVisible(m_isDashboardLoggedIn);
    m_loggedOutRow->setVisible(!m_isDashboardLoggedIn);
    m_userLabel->setText(m_dashboardUser ? u"Logged in as "_s + *m_dashboardUser : u"Logged in"_s);
    m_sessionLabel->setText(m_sessionExpiryDescription.value_or(QString()));
    m_sessionLabel->setVisible(m_sessionExpiryDescription.has_value());
    m_loginProgress->setVisible(m_isLoggingIn);
    m_loginErrorLabel->setText(m_loginError.value_or(QString()));
    m_loginErrorLabel->setVisible(!m_isDashboardLoggedIn && m_loginError.has_value());
    updateButtons();
}
