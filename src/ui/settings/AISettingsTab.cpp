#include "ui/settings/AISettingsTab.h"

#include "core/DetachedTask.h"
#include "core/Error.h"
#include "core/UserDefaultsServiceProtocol.h"
#include "platform/KeychainItem.h"
#include "platform/KeychainServiceProtocol.h"
#include "services/openai/OpenAIModel.h"
#include "services/openai/OpenAIService.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretWrite.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr qreal captionSize = 10;

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(PopoverStyle::font(captionSize));
    label->setWordWrap(true);
    PopoverStyle::setTextColor(label, PopoverStyle::secondaryText(parent->palette()));
    return label;
}

} // namespace

AISettingsTab::AISettingsTab(KeychainServiceProtocol& keychain, UserDefaultsServiceProtocol& settings,
                             OpenAIService& openAI, QWidget* parent)
    : SettingsPage(parent)
    , m_keychain(keychain)
    , m_settings(settings)
    , m_openAI(openAI) {
    setObjectName(QStringLiteral("aiSettingsTab"));
    auto* layout = new QVBoxLayout(this);

    auto* configuration = new QGroupBox(QStringLiteral("OpenAI Configuration"), this);
    auto* configurationLayout = new QVBoxLayout(configuration);
    auto* form = new QFormLayout;
    m_keyField = new QLineEdit(configuration);
    m_keyField->setObjectName(QStringLiteral("openAIKeyField"));
    m_keyField->setEchoMode(QLineEdit::Password);
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
    m_testButton = new QPushButton(QStringLiteral("Test"), configuration);
    m_testButton->setObjectName(QStringLiteral("testButton"));
    m_saved = new SavedConfirmation(configuration);
    m_saveButton = new QPushButton(QStringLiteral("Save"), configuration);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    buttons->addWidget(m_progress);
    buttons->addWidget(m_testButton);
    buttons->addWidget(m_saved);
    buttons->addWidget(m_saveButton);
    configurationLayout->addLayout(buttons);
    m_result = new SettingsResultLabel(configuration);
    configurationLayout->addWidget(m_result);
    auto* footer = new QVBoxLayout;
    footer->setSpacing(4);
    footer->addWidget(caption(QStringLiteral("Get your API key from platform.openai.com"), configuration));
    footer->addWidget(
        caption(QStringLiteral("AI summaries use your API quota and may incur costs."), configuration));
    configurationLayout->addLayout(footer);
    layout->addWidget(configuration);

    auto* about = new QGroupBox(QStringLiteral("About AI Summaries"), this);
    auto* aboutLayout = new QVBoxLayout(about);
    aboutLayout->setSpacing(8);
    aboutLayout->addWidget(caption(
        QStringLiteral("The AI summary feature transforms your daily activity data into a narrative summary "
                       "describing your work patterns, focus areas, and accomplishments."),
        about));
    aboutLayout->addWidget(
        caption(QStringLiteral(
                    "To use: Open the Export view from your daily report and click \"Generate AI Summary\"."),
                about));
    layout->addWidget(about);
    layout->addStretch(1);

    connect(m_keyField, &QLineEdit::textChanged, this, &AISettingsTab::updateButtons);
    connect(m_saveButton, &QPushButton::clicked, this, [this] {
        runDetached(save(), QStringLiteral("Saving the AI settings failed"), Log::Category::ui);
    });
    connect(m_testButton, &QPushButton::clicked, this, [this] {
        runDetached(test(), QStringLiteral("Testing the OpenAI connection failed"), Log::Category::ui);
    });
    updateButtons();
}

void AISettingsTab::load() {
    runDetached(loadStored(), QStringLiteral("Loading the AI settings failed"), Log::Category::ui);
}

QCoro::Task<> AISettingsTab::loadStored() {
    const QPointer<AISettingsTab> self(this);
    const std::optional<QString> key = co_await m_keychain.getValue(KeychainItem::openAIAPIToken);
    if (!self) {
        co_return;
    }
    m_keyField->setText(key.value_or(QString()));
    const std::optional<OpenAIModel> model = OpenAIModels::fromRawValue(m_settings.openAIModel());
    if (model) {
        m_modelPicker->setCurrentIndex(int(OpenAIModels::all().indexOf(*model)));
    }
    Q_EMIT loaded();
}

QCoro::Task<bool> AISettingsTab::storeFields() {
    const QPointer<AISettingsTab> self(this);
    const QString key = m_keyField->text().trimmed();
    const QString model = m_modelPicker->currentData().toString();
    if (!key.isEmpty()) {
        const std::optional<QString> failure =
            co_await SecretWrite::store(m_keychain, key, KeychainItem::openAIAPIToken);
        if (!self) {
            co_return false;
        }
        if (failure) {
            m_result->showFailure(*failure);
            co_return false;
        }
    }
    m_settings.setOpenAIModel(model);
    co_return true;
}

QCoro::Task<> AISettingsTab::save() {
    const QPointer<AISettingsTab> self(this);
    m_isSaving = true;
    m_saved->dismiss();
    updateButtons();
    const bool stored = co_await storeFields();
    if (!self) {
        co_return;
    }
    if (stored) {
        m_saved->flash();
    }
    m_isSaving = false;
    updateButtons();
    Q_EMIT saveFinished();
}

QCoro::Task<> AISettingsTab::test() {
    const QPointer<AISettingsTab> self(this);
    m_isTesting = true;
    m_result->clear();
    m_progress->show();
    updateButtons();
    const bool stored = co_await storeFields();
    if (!self) {
        co_return;
    }
    if (stored) {
        std::optional<QString> failure;
        try {
            co_await m_openAI.testConnection();
        } catch (const std::exception& error) {
            failure = Error::describe(error);
        }
        if (!self) {
            co_return;
        }
        if (failure) {
            m_result->showFailure(*failure);
        } else {
            m_result->showSuccess(QStringLiteral("Connection successful!"));
        }
    }
    m_isTesting = false;
    m_progress->hide();
    updateButtons();
    Q_EMIT testFinished();
}

void AISettingsTab::updateButtons() {
    m_testButton->setEnabled(!m_isTesting && !m_keyField->text().trimmed().isEmpty());
    m_saveButton->setEnabled(!m_isSaving);
}
