#pragma once

#include "ui/settings/SecretFormPage.h"

#include <QString>

#include <exception>
#include <functional>
#include <optional>

class ForwardingClient;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The "n8n" tab: the webhook address (setting "n8nEndpoint") and the optional shared key (secret
// "n8n-shared-key"), with Save and a Test that forwards the open e-mail for real.
//
// Both Save and Test store the fields first: the address as typed, the key trimmed, and an empty key
// field removes the stored key, so that what the fields show is what is sent. A key the secret store
// refuses (written or removed) is shown in the result line and stops the save or the test with nothing
// else written. After a test that failed on a certificate that does not verify, "Trust this
// certificate" offers to pin that certificate's SHA-256 (setting "n8nPinnedCertificateSha256"), which
// forwarding accepts from then on.
class N8NSettingsTab : public SecretFormPage {
    Q_OBJECT

public:
    N8NSettingsTab(SecretStore& keychain, SettingsStore& settings, ForwardingClient& forwarding,
                   QWidget* parent = nullptr);

    void load() override;

    // The SHA-256 offered for trust after the last test, lower-case hex; empty when none is offered.
    const QString& offeredCertificate() const { return m_offeredCertificate; }

    // "AB:CD:..." for a hex SHA-256, as the fingerprint is shown.
    static QString fingerprintText(const QString& sha256);

private:
    // The fields, the buttons, the result line and the trust row.
    QGroupBox* buildConfiguration();
    void buildTrustRow(QWidget* configuration, QVBoxLayout* configurationLayout);
    QGroupBox* buildHowItWorks();
    // The address as typed now (trimmed), written by what this returns once the key is stored. Saving
    // with the key field emptied removes the stored key; testing keeps it.
    std::function<void()> endpointToStore() const;
    // The result line's text for a failed test forward; a certificate that does not verify is offered
    // for trust.
    QString testFailed(std::exception_ptr failure);
    void trustOfferedCertificate();
    void offerCertificate(const QString& sha256);

    ForwardingClient& m_forwarding;
    QLineEdit* m_endpointField;
    QWidget* m_trustRow;
    QLabel* m_fingerprint;
    QPushButton* m_trustButton;
    QString m_offeredCertificate;
};
