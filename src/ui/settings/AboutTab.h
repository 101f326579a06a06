#pragma once

#include "ui/settings/SettingsPage.h"

#include <QUrl>

#include <functional>

// The "About" page: the application's symbol, name, version and tagline, a link to the maker's web
// page (opened in the default browser) and the maker's credit line. Reads and writes nothing.
class AboutTab : public SettingsPage {
    Q_OBJECT

public:
    using UrlOpener = std::function<void(const QUrl& url)>;

    static inline const QString tagline = QStringLiteral("A native Linux tray app for ClickUp time tracking");
    static inline const QString makerLinkText = QStringLiteral("brisvane.com");
    static inline const QUrl makerUrl = QUrl(QStringLiteral("https://www.brisvane.com/"));
    static inline const QString creditLine = QStringLiteral("Made by Brisvane");

    explicit AboutTab(QWidget* parent = nullptr);

    QString label() const override { return QStringLiteral("About"); }
    QString iconName() const override { return QStringLiteral("help-about"); }

    // "Version " and the running build's version.
    static QString versionText();
    // How the link opens an address: the desktop's default browser unless set.
    void setUrlOpener(UrlOpener opener) { m_urlOpener = std::move(opener); }

private:
    UrlOpener m_urlOpener;
};
