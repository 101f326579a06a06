#include "ui/settings/ToolsConnectionCheck.h"

#include "core/UserDefaultsService.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "services/tools/ToolsAPIService.h"
#include "services/tools/ToolsSignIn.h"

#include <QTemporaryDir>

#include <memory>

namespace {

// Answers the shared token of the fields and nothing else; stores nothing.
class FieldSecrets : public SecretStore {
public:
    explicit FieldSecrets(QString wsToken)
        : m_wsToken(std::move(wsToken)) {}

    QCoro::Task<std::optional<QString>> getValue(QString key) override {
        if (key == KeychainItem::toolsWSToken && !m_wsToken.isEmpty()) {
            co_return std::optional<QString>(m_wsToken);
        }
        co_return std::nullopt;
    }
    QCoro::Task<> setValue(QString, QString) override { co_return; }
    QCoro::Task<> deleteValue(QString) override { co_return; }

private:
    QString m_wsToken;
};

// No personal sign-in.
class NoSignIn : public ToolsSignIn {
public:
    std::optional<QUrl> authorizationURL(std::optional<QString>) const override { return std::nullopt; }
    QCoro::Task<bool> isAuthenticated() override { co_return false; }
    QCoro::Task<QString> getValidAccessToken() override { co_return QString(); }
    QCoro::Task<> storeTokens(QString, QString, qint64) override { co_return; }
    QCoro::Task<UserInfoResponse> fetchUserInfo() override { co_return UserInfoResponse(); }
    QCoro::Task<> logout() override { co_return; }
};

} // namespace

QCoro::Task<PersonalPlanning> ToolsConnectionCheck::run(QString toolsUrl, QString userKey, QString wsToken) {
    // The client reads its address and user key from a settings store: one of its own, in a
    // folder that goes with the test.
    QTemporaryDir folder;
    auto settings = std::make_unique<UserDefaultsService>(folder.filePath(QStringLiteral("check.conf")));
    settings->setToolsUrl(toolsUrl);
    settings->setUserKey(userKey);
    FieldSecrets secrets(std::move(wsToken));
    NoSignIn noSignIn;
    ToolsAPIService client(secrets, *settings, noSignIn);
    client.setRequestTimeout(requestTimeoutMs);
    co_return co_await client.getPersonalPlanning();
}
