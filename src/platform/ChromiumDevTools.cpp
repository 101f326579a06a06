#include "platform/ChromiumDevTools.h"

#include "core/HttpReply.h"
#include "core/RequestLimits.h"
#include "platform/BrowserWindowTitle.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

ChromiumDevTools::ChromiumDevTools(QList<quint16> ports, QObject* parent)
    : QObject(parent)
    , m_ports(std::move(ports)) {
    // Never through a proxy: the endpoint is on this machine.
    m_network.setProxy(QNetworkProxy::NoProxy);
}

QString ChromiumDevTools::browserName() const {
    return u"Chromium"_s;
}

QList<quint16> ChromiumDevTools::announcedPorts() {
    static const QStringList profiles{u"chromium"_s,
                                      u"google-chrome"_s,
                                      u"google-chrome-beta"_s,
                                      u"google-chrome-unstable"_s,
                                      u"BraveSoftware/Brave-Browser"_s,
                                      u"microsoft-edge"_s,
                                      u"vivaldi"_s,
                                      u"opera"_s};
    QList<quint16> ports;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QString& profile : profiles) {
        QFile file(QDir(config).filePath(profile + u"/DevToolsActivePort"_s));
        if (file.size() > 4096 || !file.open(QIODevice::ReadOnly)) {
            continue;
        }
        bool ok = false;
        const uint port = file.readLine().trimmed().toUInt(&ok);
        if (ok && port > 0 && port <= 65535 && !ports.contains(quint16(port))) {
            ports.append(quint16(port));
        }
    }
    if (!ports.contains(defaultPort)) {
        ports.append(defaultPort);
    }
    return ports;
}

BrowserTab ChromiumDevTools::tabFromList(const QByteArray& json, const QString& windowTitle) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return BrowserTab::failure(u"the DevTools endpoint gave no target list"_s);
    }
    bool anyPage = false;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject target = value.toObject();
        const QString url = target.value(u"url"_s).toString();
        if (target.value(u"type"_s).toString() != u"page"_s || url.isEmpty()) {
            continue;
        }
        anyPage = true;
        const QString title = target.value(u"title"_s).toString();
        if (windowTitle.isEmpty() || browserwindowtitle::shows(windowTitle, title, url)) {
            return BrowserTab{url, title, QString()};
        }
    }
    return BrowserTab::failure(anyPage ? u"no open tab matches the browser window"_s
                                       : u"the browser has no open tab"_s);
}

QCoro::Task<BrowserTab> ChromiumDevTools::activeTab(QString windowTitle) {
    const QPointer<ChromiumDevTools> self(this);
    const QList<quint16> ports = m_ports.isEmpty() ? announcedPorts() : m_ports;
    std::optional<BrowserTab> answered;
    for (const quint16 port : ports) {
        if (!self) {
            break;
        }
        QNetworkRequest request(QUrl(u"http://127.0.0.1:%1/json/list"_s.arg(port)));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        RequestLimits limits;
        limits.inactivity = timeout;
        limits.deadline = timeout;
        limits.maxBodyBytes = maxReplyBytes;
        QNetworkReply* reply = limits.apply(m_network.get(request));
        try {
            const HttpReply answer = co_await HttpReply::receive(reply);
            if (!answer.isSuccess()) {
                continue;
            }
            BrowserTab tab = tabFromList(answer.body, windowTitle);
            if (tab.found()) {
                co_return tab;
            }
            answered = std::move(tab);
        } catch (const std::exception&) {
            // Nothing listens, it hangs, or it sent too much: try the next port.
        }
    }
    if (answered) {
        co_return BrowserTab(*answered);
    }
    co_return BrowserTab::failure(
        u"no Chromium-family browser has a remote-debugging port open (start it with --remote-debugging-port=9222)"_s);
}
