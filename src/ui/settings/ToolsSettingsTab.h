#pragma once

#include "core/SettingsStore.h"
#include "ui/settings/SettingsPage.h"

#include <QCoroTask>
#include <QDateTime>

#include <exception>
#include <functional>
#include <optional>

class SecretStore;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class ProgressIndicator;
class SavedConfirmation;
class SecretForm;
class SettingsResultLabel;
class ToolsSignIn;
class ToolsLoginCoordinator;

// The "Timesheet" page: the Tools server's team credentials and the personal dashboard sign-in.
//
// Team credentials: the address ("toolsUrl"), the shared web-service token (secret
// "tools-ws-token") and the user key ("userKey"). Test fetches the planning with what the fields
// hold and shows "Connected! Found <n> planning tasks" or the failure; Save stores the token
// (trimmed; an empty field keeps the stored one), then the address as typed and the user key
// (trimmed), reloads the configuration, fetches the planning and shows "Saved". A token that cannot
// be stored stops the save, shown in the result line.
//
// Personal sign-in: "Login to Dashboard" stores the address and runs the browser sign-in through
// the sign-in coordinator; a cancelled sign-in shows nothing, another failure its text. Signed in,
// the page shows the user's name and how long the session lasts, and "Logout".
struct UserInfoResponse;

class ToolsSettingsTab : public SettingsPage {
    Q_OBJECT

public:
    // What the fields show while nothing is stored.
    static inline const QString& defaultToolsUrl = SettingsStore::defaultToolsUrl;
    static inline const QString defaultUserKey = QString();

    // What the page asks of the application after a save.
    struct Actions {
        // Reloads the configuration from the secret store and the settings.
        std::function<QCoro::Task<>()> reloadConfiguration;
        // Fetches the planning with the configuration as last loaded.
        std::function<QCoro::Task<>()> fetchPlanning;
    };

    ToolsSettingsTab(SecretStore& keychain, SettingsStore& settings, ToolsSignIn& auth, Actions actions,
                     QWidget* parent = nullptr);
    ~ToolsSettingsTab() override;

    QString label() const override { return QStringLiteral("Timesheet"); }
    QString iconName() const override { return QStringLiteral("x-office-calendar"); }
    void load() override;

    // The session line for an access token expiring at `expiry` (seconds since 1970): none when no
    // expiry is stored (0 or below); "Session expired (will refresh automatically)" once it has
    // passed; "Session expires in <h>h <m>m" from 61 whole minutes on, else "Session expires in <m>
    // minutes".
    static std::optional<QString> sessionExpiryText(double expiry, const QDateTime& now);

    ToolsLoginCoordinator& loginCoordinator() const { return *m_loginCoordinator; }
    bool isSaving() const { return m_isSaving; }
    bool isTestingConnection() const { return m_isTestingConnection; }
    bool isLoggingIn() const { return m_isLoggingIn; }
    bool isDashboardLoggedIn() const { return m_isDashboardLoggedIn; }

    // Whether a personal sign-in is stored; its user, user key and session line. Ends with
    // loginStatusChecked, then `then`, while the page lives; an unexpected failure is logged as `failure`.
    void checkLoginStatus(const QString& failure = QStringLiteral("Checking the dashboard sign-in failed"),
                          std::function<void()> then = {});

Q_SIGNALS:
    void loadFinished();
    void testFinished();
    void saveFinished();
    void loginStatusChecked();
    void loginFinished();

private:
    void buildTeamSection(QVBoxLayout* layout);
    void buildPersonalSection(QVBoxLayout* layout);
    void buildLoggedInRow(QWidget* personal);
    void buildLoggedOutRow(QWidget* personal);
    void startTest();
    void finishTest();
    void save();
    // After the token, the address and the user key are written: the configuration anew, then the
    // planning.
    void reloadAndFetch();
    // What a save that fails unexpectedly does: it is logged.
    static std::function<void(const QString&)> saveFailed();
    void showSignedInUser(const std::optional<UserInfoResponse>& user, const std::function<void()>& then);
    void showSignedOut();
    void loginToDashboard();
    void handleLoginResult(std::exception_ptr failure);
    void logout();
    void setSaving(bool saving);
    void updateButtons();
    void updateLoginSection();

    SecretStore& m_keychain;
    SettingsStore& m_settings;
    ToolsSignIn& m_auth;
    Actions m_actions;
    ToolsLoginCoordinator* m_loginCoordinator;

    bool m_isSaving = false;
    bool m_isTestingConnection = false;
    bool m_isLoggingIn = false;
    bool m_isDashboardLoggedIn = false;
    std::optional<QString> m_dashboardUser;
    std::optional<QString> m_sessionExpiryDescription;
    std::optional<QString> m_loginError;
    quint64 m_loadGeneration = 0;

    QLineEdit* m_urlField;
    QLineEdit* m_tokenField;
    QLineEdit* m_userKeyField;
    SettingsResultLabel* m_result;
    // Stores the token field.
    SecretForm* m_form;
    SavedConfirmation* m_saved;
    QPushButton* m_testButton;
    QPushButton* m_saveButton;

    QWidget* m_loggedInRow;
    QLabel* m_userLabel;
    QLabel* m_sessionLabel;
    QPushButton* m_logoutButton;
    QWidget* m_loggedOutRow;
    ProgressIndicator* m_loginProgress;
    QPushButton* m_loginButton;
    QLabel* m_loginErrorLabel;
};
