#include "services/usage/PrivacyRedaction.h"

#include "core/AppCatalogue.h"

#include "core/SettingsStore.h"

namespace {
bool containsAny(const QString& lowerText, const QStringList& keywords) {
    for (const QString& keyword : keywords) {
        if (lowerText.contains(keyword.toLower())) {
            return true;
        }
    }
    return false;
}
} // namespace

PrivacyRedaction::PrivacyRedaction(const SettingsStore& settings)
    : m_settings(settings) {}

const QStringList& PrivacyRedaction::builtInURLKeywords() {
    static const QStringList keywords{
        // words
        QStringLiteral("bank"), QStringLiteral("healthcare"), QStringLiteral("medical"),
        QStringLiteral("pharmacy"), QStringLiteral("mychart"), QStringLiteral("patient"),
        QStringLiteral("oauth"), QStringLiteral("adult"), QStringLiteral("private"), QStringLiteral("secret"),
        // host prefixes
        QStringLiteral("login."), QStringLiteral("signin."), QStringLiteral("auth."), QStringLiteral("sso."),
        // banks
        QStringLiteral("chase.com"), QStringLiteral("wellsfargo.com"), QStringLiteral("bankofamerica.com"),
        QStringLiteral("citi.com"), QStringLiteral("ing.com"),
        // payment services
        QStringLiteral("paypal.com"), QStringLiteral("stripe.com"), QStringLiteral("wise.com"),
        // password managers
        QStringLiteral("1password.com"), QStringLiteral("lastpass.com"), QStringLiteral("bitwarden.com"),
        QStringLiteral("dashlane.com"),
        // account sign-in
        QStringLiteral("accounts.google.com")};
    return keywords;
}

const QStringList& PrivacyRedaction::builtInTitleKeywords() {
    static const QStringList keywords{QStringLiteral("password"),
                                      QStringLiteral("passwd"),
                                      QStringLiteral("1password"),
                                      QStringLiteral("lastpass"),
                                      QStringLiteral("bitwarden"),
                                      QStringLiteral("dashlane"),
                                      QStringLiteral("keychain"),
                                      QStringLiteral("login"),
                                      QStringLiteral("sign in"),
                                      QStringLiteral("signin"),
                                      QStringLiteral("log in"),
                                      QStringLiteral("authenticate"),
                                      QStringLiteral("2fa"),
                                      QStringLiteral("two-factor"),
                                      QStringLiteral("otp"),
                                      QStringLiteral("verification code"),
                                      QStringLiteral("bank"),
                                      QStringLiteral("banking"),
                                      QStringLiteral("credit card"),
                                      QStringLiteral("debit card"),
                                      QStringLiteral("payment"),
                                      QStringLiteral("checkout"),
                                      QStringLiteral("invoice"),
                                      QStringLiteral("statement"),
                                      QStringLiteral("account balance"),
                                      QStringLiteral("medical"),
                                      QStringLiteral("health record"),
                                      QStringLiteral("prescription"),
                                      QStringLiteral("pharmacy"),
                                      QStringLiteral("private browsing"),
                                      QStringLiteral("incognito"),
                                      QStringLiteral("secret"),
                                      QStringLiteral("confidential"),
                                      QStringLiteral("sensitive")};
    return keywords;
}

bool PrivacyRedaction::isAlwaysRedacted(const QString& appId) {
    return AppCatalogue::is(appId, AppCatalogue::Kind::passwordManager);
}

bool PrivacyRedaction::shouldRedactURL(const QString& url) const {
    const QString lower = url.toLower();
    return containsAny(lower, builtInURLKeywords()) ||
           containsAny(lower, m_settings.privacyRedactionKeywords());
}

bool PrivacyRedaction::shouldRedactTitle(const QString& title, const QString& appId) const {
    if (isAlwaysRedacted(appId) || m_settings.privacyAlwaysRedactApps().contains(appId)) {
        return true;
    }
    const QString lower = title.toLower();
    return containsAny(lower, builtInTitleKeywords()) ||
           containsAny(lower, m_settings.privacyRedactionKeywords());
}
