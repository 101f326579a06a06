#pragma once

#include <QString>
#include <QStringList>

// Names of the secrets the application keeps in the keychain store; each holds one text.
struct KeychainItem {
    // ClickUp personal API token.
    static inline const QString clickUpAPIToken = QStringLiteral("clickup-api-token");
    // Shared Tools web-service token.
    static inline const QString toolsWSToken = QStringLiteral("tools-ws-token");
    // Tools access token of the personal sign-in.
    static inline const QString toolsAccessToken = QStringLiteral("tools-access-token");
    // Tools refresh token of the personal sign-in.
    static inline const QString toolsRefreshToken = QStringLiteral("tools-refresh-token");
    // OpenAI API key.
    static inline const QString openAIAPIToken = QStringLiteral("openai-api-token");
    // Optional shared key of the n8n webhook.
    static inline const QString n8nSharedKey = QStringLiteral("n8n-shared-key");

    static QStringList all() {
        return {clickUpAPIToken,   toolsWSToken,   toolsAccessToken,
                toolsRefreshToken, openAIAPIToken, n8nSharedKey};
    }
};
