#include "ui/settings/SecretFormPage.h"

#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SecretFormPage::SecretFormPage(const QString& objectName, QString label, QString iconName,
                               SecretStore& keychain, SettingsStore& settings, QWidget* parent)
    : SettingsPage(parent)
    , m_keychain(keychain)
    , m_settings(settings)
    , m_label(std::move(label))
    , m_iconName(std::move(iconName)) {
    setObjectName(objectName);
}

void SecretFormPage::addSections(std::initializer_list<QWidget*> sections) {
    auto* layout = new QVBoxLayout(this);
    for (QWidget* section : sections) {
        layout->addWidget(section);
    }
    layout->addStretch(1);
}

bool SecretFormPage::isSaving() const {
    return m_form->isSaving();
}

bool SecretFormPage::isTesting() const {
    return m_form->isTesting();
}

void SecretFormPage::makeKeyField(const QString& objectName, QWidget* parent) {
    m_keyField = new QLineEdit(parent);
    m_keyField->setObjectName(objectName);
    m_keyField->setEchoMode(QLineEdit::Password);
}

void SecretFormPage::makeControls(QWidget* parent) {
    m_testButton = new QPushButton(QStringLiteral("Test"), parent);
    m_testButton->setObjectName(QStringLiteral("testButton"));
    m_saved = new SavedConfirmation(parent);
    m_saveButton = new QPushButton(QStringLiteral("Save"), parent);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_result = new SettingsResultLabel(parent);
}

void SecretFormPage::setUpForm(const QString& item, SecretForm::Actions actions, QLineEdit* watched,
                               ProgressIndicator* progress) {
    m_form = new SecretForm(m_keychain, item, m_keyField, m_result, this);
    m_form->setActions(std::move(actions), m_saveButton, m_saved, m_testButton, progress);
    connect(watched, &QLineEdit::textChanged, m_form, &SecretForm::updateButtons);
    connect(m_form, &SecretForm::saveFinished, this, &SecretFormPage::saveFinished);
    connect(m_form, &SecretForm::testFinished, this, &SecretFormPage::testFinished);
}
