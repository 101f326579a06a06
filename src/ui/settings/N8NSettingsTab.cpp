#include "ui/settings/N8NSettingsTab.h"

#include "core/DetachedTask.h"
#include "core/Error.h"
#include "core/SettingsStore.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/ForwardingClient.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretForm.h"
#include "ui/settings/SettingsFormStyle.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The result line's text for a test's failure.
// The result line's text for a failed test; a certificate that did not verify is put in `certificate`.
QString testFailureText(std::exception_ptr failure, QString& certificate) {
    try {
        std::rethrow_exception(failure);
    } catch (const EmailForwardingError& error) {
        switch (error.kind()) {
        case EmailForwardingError::Kind::noEmailSelected:
            return QStringLiteral("Open an email in your mail client first, then test again.");
        case EmailForwardingError::Kind::failedToGetLink:
            return QStringLiteral(
                "Could not get email link. Copy the email's link (http or https), then test "
                "again.");
        case EmailForwardingError::Kind::certificateRejected:
        case EmailForwardingError::Kind::certificateChanged:
            certificate = error.certificateSha256();
            break;
        default:
            break;
        }
    } catch (...) {
    }
    return Error::describe(failure);
}

// The test's forward of the open e-mail; throws its failure.
QCoro::Task<> forwarded(ForwardingClient& forwarding) {
    co_await forwarding.forwardCurrentEmail();
}

} // namespace

N8NSettingsTab::N8NSettingsTab(SecretStore& keychain, SettingsStore& settings, ForwardingClient& forwarding,
                               QWidget* parent)
    : SecretFormPage(QStringLiteral("n8nSettingsTab"), QStringLiteral("n8n"), QStringLiteral("insert-link"),
                     keychain, settings, parent)
    , m_forwarding(forwarding) {
    addSections({buildConfiguration(), buildHowItWorks()});

    setUpForm(KeychainItem::n8nSharedKey,
              SecretForm::Actions{
                  // Saving with the key field emptied removes the stored key; testing keeps it.
                  .storeSecret =
                      [this](bool forTest) {
                          return m_form->store(forTest ? SecretForm::WhenEmpty::keepsSecret
                                                       : SecretForm::WhenEmpty::removesSecret);
                      },
                  .readOtherFields = [this] { return endpointToStore(); },
                  .check = [this] { return forwarded(m_forwarding); },
                  .checkFailureText = [this](std::exception_ptr failure) { return testFailed(failure); },
                  .successText = QStringLiteral("Test successful! Check n8n logs."),
                  .canTest = [this] { return !m_endpointField->text().trimmed().isEmpty(); },
                  .clearOutcome =
                      [this] {
                          m_result->clear();
                          offerCertificate(QString());
                      },
                  .saveFailureLog = QStringLiteral("Saving the n8n settings failed"),
                  .testFailureLog = QStringLiteral("Testing the n8n webhook failed"),
              },
              m_endpointField);
    connect(m_trustButton, &QPushButton::clicked, this, &N8NSettingsTab::trustOfferedCertificate);
}

QGroupBox* N8NSettingsTab::buildConfiguration() {
    auto* configuration = new QGroupBox(QStringLiteral("n8n Webhook Configuration"), this);
    auto* configurationLayout = new QVBoxLayout(configuration);
    auto* form = new QFormLayout;
    m_endpointField = new QLineEdit(configuration);
    m_endpointField->setObjectName(QStringLiteral("endpointField"));
    m_endpointField->setPlaceholderText(QStringLiteral("https://n8n.example.com/webhook/..."));
    form->addRow(QStringLiteral("Webhook Endpoint URL"), m_endpointField);
    makeKeyField(QStringLiteral("sharedKeyField"), configuration);
    form->addRow(QStringLiteral("Shared Key (Optional)"), m_keyField);
    configurationLayout->addLayout(form);

    auto* row = new QHBoxLayout;
    makeControls(configuration);
    row->addWidget(m_result, 1);
    row->addStretch(0);
    row->addWidget(m_saved);
    row->addWidget(m_testButton);
    row->addWidget(m_saveButton);
    configurationLayout->addLayout(row);
    buildTrustRow(configuration, configurationLayout);

    auto* footer = new QVBoxLayout;
    footer->setSpacing(4);
    footer->addWidget(SettingsFormStyle::caption(
        QStringLiteral("Configure your n8n webhook endpoint to forward emails to ClickUp."), configuration));
    footer->addWidget(SettingsFormStyle::caption(
        QStringLiteral("The shared key is sent in the X-Webhook-Key header for authentication."),
        configuration));
    configurationLayout->addLayout(footer);
    return configuration;
}

void N8NSettingsTab::buildTrustRow(QWidget* configuration, QVBoxLayout* configurationLayout) {
    m_trustRow = new QWidget(configuration);
    m_trustRow->setObjectName(QStringLiteral("trustRow"));
    auto* trustLayout = new QHBoxLayout(m_trustRow);
    trustLayout->setContentsMargins(0, 0, 0, 0);
    m_fingerprint = new QLabel(m_trustRow);
    m_fingerprint->setObjectName(QStringLiteral("certificateFingerprint"));
    m_fingerprint->setFont(PopoverStyle::monospacedFont(SettingsFormStyle::captionSize));
    m_fingerprint->setWordWrap(true);
    m_fingerprint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_trustButton = new QPushButton(QStringLiteral("Trust this certificate"), m_trustRow);
    m_trustButton->setObjectName(QStringLiteral("trustCertificateButton"));
    trustLayout->addWidget(m_fingerprint, 1);
    trustLayout->addWidget(m_trustButton, 0, Qt::AlignTop);
    m_trustRow->hide();
    configurationLayout->addWidget(m_trustRow);
}

QGroupBox* N8NSettingsTab::buildHowItWorks() {
    auto* how = new QGroupBox(QStringLiteral("How It Works"), this);
    auto* howLayout = new QVBoxLayout(how);
    howLayout->setSpacing(8);
    howLayout->addWidget(SettingsFormStyle::caption(
        QStringLiteral("The Email → ClickUp button will appear in the menu bar when n8n is configured."),
        how));
    howLayout->addWidget(SettingsFormStyle::caption(QStringLiteral("When clicked, it:"), how));
    auto* steps = new QVBoxLayout;
    steps->setSpacing(4);
    steps->setContentsMargins(8, 0, 0, 0);
    for (const QString& step : {QStringLiteral("1. Gets email subject from your mail client's window"),
                                QStringLiteral("2. Takes the email's link from the clipboard"),
                                QStringLiteral("3. Sends both to your n8n webhook"),
                                QStringLiteral("4. n8n can parse the link and create a ClickUp task")}) {
        steps->addWidget(SettingsFormStyle::caption(step, how));
    }
    howLayout->addLayout(steps);
    return how;
}

QString N8NSettingsTab::fingerprintText(const QString& sha256) {
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < sha256.size(); i += 2) {
        pairs.append(sha256.mid(i, 2).toUpper());
    }
    return pairs.join(u':');
}

void N8NSettingsTab::load() {
    m_endpointField->setText(m_settings.n8nEndpoint());
    whenDone(
        m_keychain.getValue(KeychainItem::n8nSharedKey), this,
        [this](std::optional<QString> key) {
            m_keyField->setText(key.value_or(QString()));
            Q_EMIT loaded();
        },
        loggedAs(QStringLiteral("Loading the n8n settings failed"), Log::Category::ui));
}

std::function<void()> N8NSettingsTab::endpointToStore() const {
    return [&settings = m_settings, endpoint = m_endpointField->text().trimmed()] {
        settings.setN8nEndpoint(endpoint);
    };
}

QString N8NSettingsTab::testFailed(std::exception_ptr failure) {
    QString certificate;
    QString text = testFailureText(failure, certificate);
    offerCertificate(certificate);
    return text;
}

void N8NSettingsTab::offerCertificate(const QString& sha256) {
    m_offeredCertificate = sha256;
    if (sha256.isEmpty()) {
        m_trustRow->hide();
        m_fingerprint->clear();
        return;
    }
    m_fingerprint->setText(QStringLiteral("SHA-256 ") + fingerprintText(sha256));
    m_trustRow->show();
}

void N8NSettingsTab::trustOfferedCertificate() {
    if (m_offeredCertificate.isEmpty()) {
        return;
    }
    m_settings.setN8nPinnedCertificateSha256(m_offeredCertificate);
    Log::notice(QStringLiteral("The n8n server's certificate is trusted from now on: SHA-256 ") +
                    m_offeredCertificate,
                Log::Category::api);
    offerCertificate(QString());
    m_result->showSuccess(QStringLiteral("Certificate trusted. Press Test to try again."));
}
