#include "services/tools/ToolsAPIService.h"

#include "core/DecodingError.h"
#include "core/HttpReply.h"
#include "core/JsonReader.h"
#include "core/Log.h"
#include "core/OversizedReplyError.h"
#include "core/ServerText.h"
#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/tools/FormEncoding.h"
#include "services/tools/ToolsAddress.h"
#include "services/tools/ToolsPlanningResponse.h"

#include <QJsonObject>
#include <QNetworkReply>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
void debug(const QString& message) {
    Log::debug(message, Log::Category::api);
}

// Moodle reports a failed web-service call with status 200 and a body such as
// {"exception": "moodle_exception", "errorcode": "invalidtoken", "message": "Invalid token"}.
// Gives the message of such a reply (or its error code), none for any other reply.
std::optional<QString> webServiceError(const QJsonValue& reply) {
    const QJsonObject object = reply.toObject();
    const QJsonValue exception = object.value("exception"_L1);
    const QJsonValue errorCode = object.value("errorcode"_L1);
    if ((exception.isUndefined() || exception.isNull()) && (errorCode.isUndefined() || errorCode.isNull())) {
        return std::nullopt;
    }
    for (const QJsonValue& text : {object.value("message"_L1), errorCode, exception}) {
        if (text.isString() && !text.toString().isEmpty()) {
            return text.toString();
        }
    }
    return u"The web service reported an error"_s;
}

// Steps after the request is built; every failure leaves as an APIError.
QCoro::Task<PersonalPlanning> exchangePlanning(QNetworkAccessManager& network, QNetworkRequest request,
                                               QByteArray body, RequestLimits limits) {
    const HttpReply reply = co_await HttpReply::receive(limits.apply(network.post(request, body)));

    if (const std::optional<QString> text = serverText(reply.body)) {
        debug(u"Raw response: "_s + *text);
    }
    if (!reply.isSuccess()) {
        throw APIError::httpError(reply.status.value_or(0), std::nullopt);
    }
    const JsonReader json = JsonReader::parse(reply.body);
    if (const std::optional<QString> message = webServiceError(json.value())) {
        debug(u"Web service error: "_s + *message);
        throw APIError::requestFailed(*message);
    }

    const auto response = ToolsPlanningResponse::fromJson(json);
    debug(u"Data field length: %1"_s.arg(response.data ? response.data->size() : 0));
    PersonalPlanning planning{response.parseTasks(), response.xbarVersion};
    Log::info(u"Parsed %1 planning tasks"_s.arg(planning.tasks.size()), Log::Category::api);
    co_return planning;
}
} // namespace

ToolsAPIService::ToolsAPIService(SecretStore& keychain, SettingsStore& settings, ToolsSignIn& auth,
                                 QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_settings(settings)
    , m_auth(auth) {}

ToolsAPIService::~ToolsAPIService() {
    const QList<QNetworkReply*> pending = m_network.findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : pending) {
        reply->abort();
    }
}

void ToolsAPIService::setRequestTimeout(int milliseconds) {
    m_limits.deadline = std::chrono::milliseconds(milliseconds);
    m_limits.inactivity = std::min(m_limits.inactivity, m_limits.deadline);
}

QCoro::Task<PersonalPlanning> ToolsAPIService::getPersonalPlanning() {
    debug(u"Starting getPersonalPlanning()"_s);
    const QString toolsUrl = m_settings.toolsUrl();
    const QString userKey = m_settings.userKey();
    // The key identifies the user to the server: a server that echoes it must not get it logged.
    Log::registerSecret(userKey);
    debug(u"URL="_s + toolsUrl + u", userKey="_s + Log::redacted(userKey));

    const std::optional<QUrl> url = toolsAddress(toolsUrl, u"webservice/rest/server.php"_s);
    if (!url) {
        Log::error(u"Invalid URL!"_s, Log::Category::api);
        if (isInsecureToolsAddress(toolsUrl)) {
            throw APIError::requestFailed(toolsAddressNeedsHttps);
        }
        throw APIError::invalidURL();
    }
    QNetworkRequest request(*url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));

    QList<QPair<QString, QString>> fields;
    const bool personal = co_await m_auth.isAuthenticated();
    if (personal) {
        // The sign-in's failure leaves as it is.
        const QString token = co_await m_auth.getValidAccessToken();
        request.setRawHeader(QByteArrayLiteral("Authorization"), "Bearer " + token.toUtf8());
    } else {
        const std::optional<QString> wsToken = co_await m_keychain.getValue(KeychainItem::toolsWSToken);
        if (!wsToken || wsToken->isEmpty()) {
            Log::error(u"Missing WS Token!"_s, Log::Category::api);
            throw APIError::missingWSToken();
        }
        fields.append({u"wstoken"_s, *wsToken});
    }
    fields.append({u"wsfunction"_s, planningFunction});
    fields.append({u"moodlewsrestformat"_s, u"json"_s});
    fields.append({u"userkey"_s, userKey});
    const QByteArray body = encodeForm(fields);
    debug(personal ? u"Using personal token authentication"_s : u"Using legacy WS token authentication"_s);

    try {
        co_return co_await exchangePlanning(m_network, request, body, m_limits);
    } catch (const APIError&) {
        throw;
    } catch (const OversizedReplyError&) {
        throw APIError::invalidResponse();
    } catch (const DecodingError& error) {
        throw APIError::decodingError(error);
    } catch (const std::exception& error) {
        throw APIError::networkError(error);
    } catch (...) {
        throw APIError::networkError(u"Unknown error"_s);
    }
}
