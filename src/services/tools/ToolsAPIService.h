#pragma once

#include "core/RequestLimits.h"
#include "core/SettingsStore.h"
#include "platform/SecretStore.h"
#include "services/tools/ToolsClient.h"
#include "services/tools/ToolsSignIn.h"

#include <QNetworkAccessManager>
#include <QObject>

// The Tools server's web service (Moodle REST): the personal planning, fetched with one form POST to
// "<toolsUrl>webservice/rest/server.php" calling "tool_brisvane_get_planning_personal" for the
// "userKey" setting. Settings, sign-in and shared token are read afresh on every call.
//
// Authentication, decided per call: with a personal sign-in the access token goes as
// "Authorization: Bearer <token>"; otherwise the shared web-service token ("tools-ws-token") goes as
// the form field "wstoken".
//
// Failures: invalidURL (unusable "toolsUrl"), missingWSToken (no sign-in and no shared token), the
// sign-in's error unchanged, networkError (no HTTP answer), httpError (status outside 200-299, no
// message), invalidResponse (a reply above the size limit), decodingError (a reply that is no planning
// reply), requestFailed with the server's message
// (a web-service error, which Moodle sends with status 200). A planning text that holds no valid task
// list is no error: it gives no tasks.
class ToolsAPIService : public QObject, public ToolsClient {
    Q_OBJECT

public:
    static inline const QString planningFunction = QStringLiteral("tool_brisvane_get_planning_personal");

    ToolsAPIService(SecretStore& keychain, SettingsStore& settings, ToolsSignIn& auth,
                    QObject* parent = nullptr);
    // A request still under way ends now, as a failure, so its caller does not wait for good.
    ~ToolsAPIService() override;

    QCoro::Task<PersonalPlanning> getPersonalPlanning() override;

    // Each request fails as timed out after this long, or earlier when no data moves for
    // RequestLimits::defaultInactivity (60 s unless a test shortens it).
    void setRequestTimeout(int milliseconds);
    void setRequestLimits(const RequestLimits& limits) { m_limits = limits; }

private:
    SecretStore& m_keychain;
    SettingsStore& m_settings;
    ToolsSignIn& m_auth;
    QNetworkAccessManager m_network;
    RequestLimits m_limits;
};
