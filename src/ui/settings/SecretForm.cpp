#include "ui/settings/SecretForm.h"

#include "core/DetachedTask.h"
#include "core/Error.h"
#include "platform/SecretStore.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretWrite.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QLineEdit>
#include <QPushButton>

SecretForm::SecretForm(SecretStore& keychain, QString item, QLineEdit* field, SettingsResultLabel* result,
                       QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_item(std::move(item))
    , m_field(field)
    , m_result(result) {}

QString SecretForm::secret() const {
    return m_field->text().trimmed();
}

namespace {

QCoro::Task<std::optional<QString>> nothingToWrite() {
    co_return std::nullopt;
}

} // namespace

QCoro::Task<std::optional<QString>> SecretForm::store(WhenEmpty whenEmpty) const {
    const QString value = secret();
    if (!value.isEmpty()) {
        return SecretWrite::store(m_keychain, value, m_item);
    }
    if (whenEmpty == WhenEmpty::removesSecret) {
        return SecretWrite::remove(m_keychain, m_item);
    }
    return nothingToWrite();
}

void SecretForm::saveSecret(std::function<void()> stored, std::function<void()> refused,
                            std::function<void(const QString&)> failed) {
    m_result->clear();
    const QString value = secret();
    m_keychain.allowUnlockPrompt();
    whenDone(
        store(WhenEmpty::keepsSecret), this,
        [this, value, stored = std::move(stored),
         refused = std::move(refused)](std::optional<QString> failure) {
            if (failure) {
                m_result->showFailure(*failure);
                refused();
                return;
            }
            if (!value.isEmpty()) {
                m_field->setText(value);
            }
            stored();
        },
        std::move(failed));
}

void SecretForm::setActions(Actions actions, QPushButton* save, SavedConfirmation* saved, QPushButton* test,
                            ProgressIndicator* progress) {
    m_actions = std::move(actions);
    m_saveButton = save;
    m_saved = saved;
    m_testButton = test;
    m_progress = progress;
    if (m_progress) {
        m_progress->hide();
    }
    connect(m_saveButton, &QPushButton::clicked, this, &SecretForm::save);
    if (m_testButton) {
        connect(m_testButton, &QPushButton::clicked, this, &SecretForm::test);
    }
    updateButtons();
}

void SecretForm::updateButtons() {
    if (m_saveButton) {
        m_saveButton->setEnabled(!m_isSaving);
    }
    if (m_testButton) {
        m_testButton->setEnabled(!m_isTesting && (!m_actions.canTest || m_actions.canTest()));
    }
}

void SecretForm::save() {
    m_isSaving = true;
    if (m_actions.clearOutcome) {
        m_actions.clearOutcome();
    }
    m_saved->dismiss();
    updateButtons();
    std::function<void()> storeOtherFields =
        m_actions.readOtherFields ? m_actions.readOtherFields() : nullptr;
    whenDone(
        m_actions.storeSecret(false), this,
        [this, storeOtherFields](std::optional<QString> failure) {
            if (failure) {
                m_result->showFailure(*failure);
            } else {
                if (storeOtherFields) {
                    storeOtherFields();
                }
                m_saved->flash();
            }
            m_isSaving = false;
            updateButtons();
            Q_EMIT saveFinished();
        },
        loggedAs(m_actions.saveFailureLog, Log::Category::ui));
}

void SecretForm::test() {
    m_isTesting = true;
    m_result->clear();
    if (m_actions.clearOutcome) {
        m_actions.clearOutcome();
    }
    if (m_progress) {
        m_progress->show();
    }
    updateButtons();
    std::function<void()> storeOtherFields =
        m_actions.readOtherFields ? m_actions.readOtherFields() : nullptr;
    whenDone(
        m_actions.storeSecret(true), this,
        [this, storeOtherFields](std::optional<QString> failure) {
            if (failure) {
                m_result->showFailure(*failure);
                finishTest();
                return;
            }
            if (storeOtherFields) {
                storeOtherFields();
            }
            whenDone(
                m_actions.check(), this,
                [this] {
                    m_result->showSuccess(m_actions.successText);
                    finishTest();
                },
                [this](std::exception_ptr error) {
                    m_result->showFailure(m_actions.checkFailureText ? m_actions.checkFailureText(error)
                                                                     : Error::describe(error));
                    finishTest();
                });
        },
        loggedAs(m_actions.testFailureLog, Log::Category::ui));
}

void SecretForm::finishTest() {
    m_isTesting = false;
    if (m_progress) {
        m_progress->hide();
    }
    updateButtons();
    Q_EMIT testFinished();
}
