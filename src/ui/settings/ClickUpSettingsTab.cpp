#include "ui/settings/ClickUpSettingsTab.h"

#include "core/DetachedTask.h"
#include "core/Error.h"
#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretForm.h"
#include "ui/settings/SettingsFormStyle.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ClickUpSettingsTab::ClickUpSettingsTab(SecretStore& keychain, SettingsStore& settings, Actions actions,
                                       QWidget* parent)
    : SettingsPage(parent)
    , m_keychain(keychain)
    , m_settings(settings)
    , m_actions(std::move(actions))
    , m_tokenField(SettingsFormStyle::textField(QStringLiteral("apiTokenField"), true, this))
    , m_teamIdField(SettingsFormStyle::textField(QStringLiteral("teamIdField"), false, this))
    , m_saveButton(new QPushButton(QStringLiteral("Save"), this))
    , m_saved(new SavedConfirmation(this))
    , m_result(new SettingsResultLabel(this))
    , m_form(new SecretForm(keychain, KeychainItem::clickUpAPIToken, m_tokenField, m_result, this)) {
    setObjectName(QStringLiteral("clickUpSettingsTab"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(SettingsFormStyle::margin, SettingsFormStyle::margin,
                               SettingsFormStyle::margin, SettingsFormStyle::margin);
    QGroupBox* section = SettingsFormStyle::section(
        QStringLiteral("ClickUp API"),
        QStringLiteral("Get your API token from ClickUp Settings > Apps > API Token"), layout, this);
    QFormLayout* rows = SettingsFormStyle::formRows(section);
    rows->addRow(QStringLiteral("API Token"), m_tokenField);
    rows->addRow(QStringLiteral("Team ID"), m_teamIdField);

    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_result, 1);
    buttons->addStretch();
    buttons->addWidget(m_saved);
    buttons->addWidget(m_saveButton);
    rows->addRow(buttons);
    layout->addStretch();

    connect(m_saveButton, &QPushButton::clicked, this, &ClickUpSettingsTab::save);
}

void ClickUpSettingsTab::load() {
    const quint64 generation = ++m_loadGeneration;
    m_teamIdField->setText(m_actions.configuredTeamId ? m_actions.configuredTeamId() : QString());
    whenDone(
        m_keychain.getValue(KeychainItem::clickUpAPIToken), this,
        [this, generation](std::optional<QString> token) {
            if (generation != m_loadGeneration) {
                return;
            }
            m_tokenField->setText(token.value_or(QString()));
            emit loadFinished();
        },
        loggedAs(QStringLiteral("Loading the ClickUp settings failed"), Log::Category::ui));
}

void ClickUpSettingsTab::save() {
    if (m_isSaving) {
        return;
    }
    setSaving(true);
    const QString teamId = m_teamIdField->text();
    m_form->saveSecret(
        [this, teamId] {
            m_settings.setTeamId(teamId);
            reloadAndRefresh();
        },
        // Nothing else is written: the team id and the configuration stay as they were.
        [this] {
            setSaving(false);
            emit saveFinished();
        },
        saveFailed());
}

void ClickUpSettingsTab::reloadAndRefresh() {
    whenBothDone(
        m_actions.reloadConfiguration(), m_actions.refresh, this,
        [this] {
            m_saved->flash();
            setSaving(false);
            emit saveFinished();
        },
        saveFailed());
}

std::function<void(const QString&)> ClickUpSettingsTab::saveFailed() {
    return loggedAs(QStringLiteral("Saving the ClickUp settings failed"), Log::Category::ui);
}

void ClickUpSettingsTab::setSaving(bool saving) {
    m_isSaving = saving;
    m_saveButton->setEnabled(!saving);
}
