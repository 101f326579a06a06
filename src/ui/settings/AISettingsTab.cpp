#include "ui/settings/AISettingsTab.h"

#include "core/DetachedTask.h"
#include "core/Error.h"
#include "core/SettingsStore.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "services/openai/OpenAIModel.h"
#include "services/openai/OpenAIService.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretForm.h"
#include "ui/settings/SettingsFormStyle.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AISettingsTab::AISettingsTab(SecretStore& keychain, SettingsStore& settings, OpenAIService& openAI,
                             QWidget* parent)
    : SecretFormPage(QStringLiteral("aiSettingsTab"), QStringLiteral("AI"), QStringLiteral("sparkles"),
                     keychain, settings, parent)
    , m_openAI(openAI) {
    addSections({buildConfiguration(), buildAbout()});

    setUpForm(KeychainItem::openAIAPIToken,
              SecretForm::Actions{
                  .storeSecret = [this](bool) { return m_form->store(SecretForm::WhenEmpty::keepsSecret); },
                  .readOtherFields = [this] { return modelToStore(); },
                  .check = [this] { return m_openAI.testConnection(); },
                  .successText = QStringLiteral("Connection successful!"),
                  .canTest = [this] { return !m_form->secret().isEmpty(); },
                  .saveFailureLog = QStringLiteral("Saving the AI settings failed"),
                  .testFailureLog = QStringLiteral("Testing the OpenAI connection failed"),
              },
              m_keyField, m_progress);
}

QGroupBox* AISettingsTab::buildConfiguration() {
    auto* configuration = new QGroupBox(QStringLiteral("OpenAI Configuration"), this);
    auto* configurationLayout = new QVBoxLayout(configuration);
    auto* form = new QFormLayout;
    makeKeyField(QStringLiteral("openAIKeyField"), configuration);
    m_keyField->setPlaceholderText(QStringLiteral("sk-..."));
    form->addRow(QStringLiteral("OpenAI API Key"), m_keyField);
    m_modelPicker = new QComboBox(configuration);
    m_modelPicker->setObjectName(QStringLiteral("modelPicker"));
    for (const OpenAIModel model : OpenAIModels::all()) {
        m_modelPicker->addItem(OpenAIModels::displayName(model) + QStringLiteral(" - ") +
                                   OpenAIModels::description(model),
                               OpenAIModels::rawValue(model));
    }
    m_modelPicker->setCurrentIndex(int(OpenAIModels::all().indexOf(OpenAIModel::gpt4oMini)));
    form->addRow(QStringLiteral("Model"), m_modelPicker);
    configurationLayout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_progress = new ProgressIndicator(PopoverStyle::pixelSize(13), configuration);
    m_progress->setObjectName(QStringLiteral("testProgress"));
    m_progress->hide();
    makeControls(configuration);
    buttons->addWidget(m_progress);
    buttons->addWidget(m_testButton);
    buttons->addWidget(m_saved);
    buttons->addWidget(m_saveButton);
    configurationLayout->addLayout(buttons);
    configurationLayout->addWidget(m_result);
    auto* footer = new QVBoxLayout;
    footer->setSpacing(4);
    footer->addWidget(SettingsFormStyle::caption(QStringLiteral("Get your API key from platform.openai.com"),
                                                 configuration));
    footer->addWidget(SettingsFormStyle::caption(
        QStringLiteral("AI summaries use your API quota and may incur costs."), configuration));
    configurationLayout->addLayout(footer);
    return configuration;
}

QGroupBox* AISettingsTab::buildAbout() {
    auto* about = new QGroupBox(QStringLiteral("About AI Summaries"), this);
    auto* aboutLayout = new QVBoxLayout(about);
    aboutLayout->setSpacing(8);
    aboutLayout->addWidget(SettingsFormStyle::caption(
        QStringLiteral("The AI summary feature transforms your daily activity data into a narrative summary "
                       "describing your work patterns, focus areas, and accomplishments."),
        about));
    aboutLayout->addWidget(SettingsFormStyle::caption(
        QStringLiteral(
            "To use: Open the Export view from your daily report and click \"Generate AI Summary\"."),
        about));
    return about;
}

void AISettingsTab::load() {
    whenDone(
        m_keychain.getValue(KeychainItem::openAIAPIToken), this,
        [this](std::optional<QString> key) { showStored(key); },
        loggedAs(QStringLiteral("Loading the AI settings failed"), Log::Category::ui));
}

void AISettingsTab::showStored(const std::optional<QString>& key) {
    m_keyField->setText(key.value_or(QString()));
    const std::optional<OpenAIModel> model = OpenAIModels::fromRawValue(m_settings.openAIModel());
    if (model) {
        m_modelPicker->setCurrentIndex(int(OpenAIModels::all().indexOf(*model)));
    }
    Q_EMIT loaded();
}

std::function<void()> AISettingsTab::modelToStore() const {
    return [&settings = m_settings, model = m_modelPicker->currentData().toString()] {
        settings.setOpenAIModel(model);
    };
}
