#pragma once

#include "ui/settings/SecretFormPage.h"

#include <functional>
#include <optional>

class OpenAIService;
class ProgressIndicator;
class QComboBox;
class QGroupBox;

// The "AI" tab: the OpenAI API key (secret "openai-api-token") and the chat model (setting
// "openAIModel"), with Save and a connection Test.
//
// Save stores the key, trimmed, when the field holds one (an empty field keeps the stored key), then
// the model, and shows "Saved"; a key the secret store refuses is shown in the result line and
// nothing else is written. Test stores both the same way and then asks the OpenAI client for a
// minimal completion, so it tests what the fields hold; it shows "Connection successful!" or the
// failure's text.
class AISettingsTab : public SecretFormPage {
    Q_OBJECT

public:
    AISettingsTab(SecretStore& keychain, SettingsStore& settings, OpenAIService& openAI,
                  QWidget* parent = nullptr);

    // Reads the key and the model again; a stored model that is none of the offered ones leaves the
    // picker as it is.
    void load() override;

private:
    // The key, the model, the buttons and the result line.
    QGroupBox* buildConfiguration();
    QGroupBox* buildAbout();
    // Fills the fields from the stored key and model.
    void showStored(const std::optional<QString>& key);
    // The model as picked now, written by what this returns once the key (when the field holds one) is
    // stored.
    std::function<void()> modelToStore() const;

    OpenAIService& m_openAI;
    QComboBox* m_modelPicker;
    ProgressIndicator* m_progress;
};
