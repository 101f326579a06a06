#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

class SecretStore;
class ProgressIndicator;
class QLineEdit;
class QPushButton;
class SavedConfirmation;
class SettingsResultLabel;

// A settings page's secret (an API key or token kept in the keychain, typed into a password field)
// and what the page does with it.
//
// Every page that holds a secret stores it the same way (`store`): the field's text, trimmed, is
// written to the keychain item; a failure is shown in the page's result line (by the form's flow, or by
// the page for its own) and stops whatever the page was doing.
//
// Pages with Save and Test buttons also hand their flow to the form (`setActions`): Save writes the
// page's fields and flashes "Saved"; Test writes them as well, then checks them against the service and
// shows the outcome in the result line. While one runs its button is disabled; Test is enabled only
// while the fields hold enough to test.
class SecretForm : public QObject {
    Q_OBJECT

public:
    // What an empty field does to the stored secret.
    enum class WhenEmpty { keepsSecret, removesSecret };

    // A Save or Test press: what it does besides the flow itself.
    struct Actions {
        // Stores the page's secret (through `store`): the failure's text, or none. `forTest` tells a
        // test's write from a save's.
        std::function<QCoro::Task<std::optional<QString>>(bool forTest)> storeSecret;
        // Reads the page's other fields when a press starts; what it returns writes them once the
        // secret is stored. None: the page has nothing besides its secret.
        std::function<std::function<void()>()> readOtherFields = {};
        // Checks what was written against the service; throws the failure.
        std::function<QCoro::Task<>()> check;
        // The result line's text for a failed check, after the page has shown what else it shows for
        // it; none: the failure's description.
        std::function<QString(std::exception_ptr failure)> checkFailureText = {};
        // The result line's text after a test that passed.
        QString successText;
        // Whether the fields hold enough to test.
        std::function<bool()> canTest;
        // Clears what the last outcome left on the page, when a save or a test starts; none: nothing.
        std::function<void()> clearOutcome = {};
        // For the log, when a press fails unexpectedly.
        QString saveFailureLog;
        QString testFailureLog;
    };

    // The field and the result line belong to the page, which must outlive the form.
    SecretForm(SecretStore& keychain, QString item, QLineEdit* field, SettingsResultLabel* result,
               QObject* parent);

    // The secret as the field holds it, trimmed.
    QString secret() const;
    // Stores the field's secret; an empty field keeps or removes the stored one. The failure's text
    // (logged, for the caller to show) when the keychain refused; none when it was written or nothing had
    // to be. Never throws; the task needs only the keychain, not the form.
    QCoro::Task<std::optional<QString>> store(WhenEmpty whenEmpty) const;
    // The secret's part of a page's own Save: clears the result line, lets the keychain ask to be
    // unlocked and stores the field's secret (an empty field keeps the stored one). A refusal is shown in
    // the result line and ends in `refused`, with nothing else written; otherwise the field shows the
    // secret as stored and `stored` writes the rest. `failed` hears an unexpected failure.
    void saveSecret(std::function<void()> stored, std::function<void()> refused,
                    std::function<void(const QString&)> failed);

    // Makes Save and Test run the flow. `test` and `progress` may be none.
    void setActions(Actions actions, QPushButton* save, SavedConfirmation* saved, QPushButton* test,
                    ProgressIndicator* progress = nullptr);
    // Enables the buttons after the page's fields changed.
    void updateButtons();

    bool isSaving() const { return m_isSaving; }
    bool isTesting() const { return m_isTesting; }

    // The flow of the Save and Test buttons: each ends with its finished signal, while the form lives.
    void save();
    void test();

Q_SIGNALS:
    void saveFinished();
    void testFinished();

private:
    void finishTest();

    SecretStore& m_keychain;
    QString m_item;
    QLineEdit* m_field;
    SettingsResultLabel* m_result;
    Actions m_actions;
    QPushButton* m_saveButton = nullptr;
    SavedConfirmation* m_saved = nullptr;
    QPushButton* m_testButton = nullptr;
    ProgressIndicator* m_progress = nullptr;
    bool m_isSaving = false;
    bool m_isTesting = false;
};
