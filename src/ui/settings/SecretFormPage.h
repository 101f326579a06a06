#pragma once

#include "ui/settings/SecretForm.h"
#include "ui/settings/SettingsPage.h"

#include <QString>

#include <initializer_list>

class ProgressIndicator;
class SavedConfirmation;
class SettingsResultLabel;
class SettingsStore;

// A settings page whose fields hold one secret (a password field) beside plain settings, with Save and
// Test buttons that run the `SecretForm` flow: Save writes the fields and flashes "Saved", Test writes
// them and checks them against the service, the outcome shown in the result line.
//
// The page builds its sections itself, making the shared controls with `makeKeyField` and
// `makeControls` where its layout wants them; it hands the sections to `addSections` and its flow to
// `setUpForm`.
class SecretFormPage : public SettingsPage {
    Q_OBJECT

public:
    QString label() const final { return m_label; }
    QString iconName() const final { return m_iconName; }

    bool isSaving() const;
    bool isTesting() const;

Q_SIGNALS:
    // A load, save or test has ended (for tests and the window).
    void loaded();
    void saveFinished();
    void testFinished();

protected:
    // The page's object name, then its tab's label and icon.
    SecretFormPage(const QString& objectName, QString label, QString iconName, SecretStore& keychain,
                   SettingsStore& settings, QWidget* parent);

    // Lays the page out: the sections from the top, in this order.
    void addSections(std::initializer_list<QWidget*> sections);

    // The password field for the secret.
    void makeKeyField(const QString& objectName, QWidget* parent);
    // The Test and Save buttons, the "Saved" confirmation and the result line.
    void makeControls(QWidget* parent);
    // Makes the form for the keychain `item` and hands it the page's flow; a change in `watched` (the
    // field Test depends on) enables the buttons again. `progress` may be none.
    void setUpForm(const QString& item, SecretForm::Actions actions, QLineEdit* watched,
                   ProgressIndicator* progress = nullptr);

    SecretStore& m_keychain;
    SettingsStore& m_settings;
    QLineEdit* m_keyField = nullptr;
    QPushButton* m_testButton = nullptr;
    SavedConfirmation* m_saved = nullptr;
    QPushButton* m_saveButton = nullptr;
    SettingsResultLabel* m_result = nullptr;
    SecretForm* m_form = nullptr;

private:
    QString m_label;
    QString m_iconName;
};
