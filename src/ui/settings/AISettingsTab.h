#pragma once

#include "ui/settings/SettingsPage.h"

#include <QCoroTask>

#include <functional>
#include <optional>

class SecretStore;
class OpenAIService;
class ProgressIndicator;
class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class SavedConfirmation;
class SecretForm;
class SettingsResultLabel;
class SettingsStore;

// The "AI" tab: the OpenAI API key (secret "openai-api-token") and the chat model (setting
// "openAIModel"), with Save and a connection Test.
//
// Save stores the key, trimmed, when the field holds one (an empty field keeps the stored key), then
// the model, and shows "Saved"; a key the secret store refuses is shown in the result line and
// nothing else is written. Test stores both the same way and then asks the OpenAI client for a
// minimal completion, so it tests what the fields hold; it shows "Connection successful!" or the
// failure's text.
class AISettingsTab : public SettingsPage {
    Q_OBJECT

public:
    AISettingsTab(SecretStore& keychain, SettingsStore& settings, OpenAIService& openAI,
                  QWidget* parent = nullptr);

    QString label() const override { return QStringLiteral("AI"); }
    QString iconName() const override { return QStringLiteral("sparkles"); }
    // Reads the key and the model again; a stored model that is none of the offered ones leaves the
    // picker as it is.
    void load() override;

    bool isSaving() const;
    bool isTesting() const;

Q_SIGNALS:
    // A load, save or test has ended (for tests and the window).
    void loaded();
    void saveFinished();
    void testFinished();

private:
    // The key, the model, the buttons and the result line.
    void buildConfiguration(QVBoxLayout* layout);
    void buildAbout(QVBoxLayout* layout);
    // Fills the fields from the stored key and model.
    void showStored(const std::optional<QString>& key);
    // The model as picked now, written by what this returns once the key (when the field holds one) is
    // stored.
    std::function<void()> modelToStore() const;

    SecretStore& m_keychain;
    SettingsStore& m_settings;
    OpenAIService& m_openAI;
    QLineEdit* m_keyField;
    QComboBox* m_modelPicker;
    ProgressIndicator* m_progress;
    QPushButton* m_testButton;
    SavedConfirmation* m_saved;
    QPushButton* m_saveButton;
    SettingsResultLabel* m_result;
    SecretForm* m_form;
};
