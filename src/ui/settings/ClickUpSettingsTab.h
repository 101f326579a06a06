#pragma once

#include "ui/settings/SettingsPage.h"

#include <QCoroTask>

#include <functional>

class SecretStore;
class QLineEdit;
class QPushButton;
class SavedConfirmation;
class SecretForm;
class SettingsResultLabel;
class SettingsStore;

// The "ClickUp" page: the personal API token (secret "clickup-api-token") and the team id (setting
// "teamId"). Shown, it fills the team id from the configuration the application runs with and the
// token from the secret store. Save stores the token (trimmed; an empty field keeps the stored one),
// then the team id as typed, reloads the configuration and refreshes the timer, today's entries and
// the planning, and shows "Saved". A token that cannot be stored stops the save: the result line shows why
// and nothing else is written.
class ClickUpSettingsTab : public SettingsPage {
    Q_OBJECT

public:
    // What the page asks of the application.
    struct Actions {
        // The team id of the configuration as last loaded.
        std::function<QString()> configuredTeamId;
        // Reloads the configuration from the secret store and the settings.
        std::function<QCoro::Task<>()> reloadConfiguration;
        // Fetches the running timer, today's entries and the planning again.
        std::function<QCoro::Task<>()> refresh;
    };

    ClickUpSettingsTab(SecretStore& keychain, SettingsStore& settings, Actions actions,
                       QWidget* parent = nullptr);

    QString label() const override { return QStringLiteral("ClickUp"); }
    QString iconName() const override { return QStringLiteral("appointment-soon"); }
    void load() override;

    bool isSaving() const { return m_isSaving; }

Q_SIGNALS:
    void loadFinished();
    void saveFinished();

private:
    void save();
    // After the token and the team id are written: the configuration anew, then the planning.
    void reloadAndRefresh();
    // What a save that fails unexpectedly does: it is logged.
    static std::function<void(const QString&)> saveFailed();
    void setSaving(bool saving);

    SecretStore& m_keychain;
    SettingsStore& m_settings;
    Actions m_actions;
    bool m_isSaving = false;
    // Counts loads, so that a slower earlier one does not overwrite a later one.
    quint64 m_loadGeneration = 0;
    QLineEdit* m_tokenField;
    QLineEdit* m_teamIdField;
    QPushButton* m_saveButton;
    SavedConfirmation* m_saved;
    SettingsResultLabel* m_result;
    // Stores the token field.
    SecretForm* m_form;
};
