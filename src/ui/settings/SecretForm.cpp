#include "ui/settings/SecretForm.h"

#include "core/DetachedTask.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretWrite.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

SecretForm::SecretForm(KeychainServiceProtocol& keychain, QString item, QLineEdit* field,
                       SettingsResultLabel* result, QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_item(std::move(item))
    , m_field(field)
    , m_result(result) {}

QString SecretForm::secret() const {
    return m_field->text().trimmed();
}

QCoro::Task<bool> SecretForm::store(WhenEmpty whenEmpty) {
    const QPointer<SecretForm> self(this);
    const QString value = secret();
    std::optional<QString> failure;
    if (!value.isEmpty()) {
        failure = co_await SecretWrite::store(m_keychain, value, m_item);
    } else if (whenEmpty == WhenEmpty::removesSecret) {
        failure = co_await SecretWrite::remove(m_keychain, m_item);
    } else {
        co_return true;
    }
    if (!self) {
        co_return false;
    }
    if (failure) {
        m_result->showFailure(*failure);
        co_return false;
    }
    co_return true;
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
    connect(m_saveButton, &QPushButton::clicked, this,
            [this] { runDetached(this->save(), m_actions.saveFailureLog, Log::Category::ui); });
    if (m_testButton) {
        connect(m_testButton, &QPushButton::clicked, this,
                [this] { runDetached(this->test(), m_actions.testFailureLog, Log::Category::ui); });
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

QCoro::Task<> SecretForm::save() {
    const QPointer<SecretForm> self(this);
    m_isSaving = true;
    if (m_actions.clearOutcome) {
        m_actions.clearOutcome();
    }
    m_saved->dismiss();
    updateButtons();
    const bool stored = co_await m_actions.storeFields(false);
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

QCoro::Task<> SecretForm::test() {
    const QPointer<SecretForm> self(this);
    m_isTesting = true;
    m_result->clear();
    if (m_actions.clearOutcome) {
        m_actions.clearOutcome();
    }
    if (m_progress) {
        m_progress->show();
    }
    updateButtons();
    const bool stored = co_await m_actions.storeFields(true);
    if (!self) {
        co_return;
    }
    if (stored) {
        const std::optional<QString> failure = co_await m_actions.check();
        if (!self) {
            co_return;
        }
        if (failure) {
            m_result->showFailure(*failure);
        } else {
            m_result->showSuccess(m_actions.successText);
        }
    }
    m_isTesting = false;
    if (m_progress) {
        m_progress->hide();
    }
    updateButtons();
    Q_EMIT testFinished();
}
