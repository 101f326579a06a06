#pragma once

#include "services/usage/DeepContext.h"

#include <QString>

#include <optional>

class BrowserTabSource;
class MailSubjectSource;
class PrivacyRedaction;
class ScriptRunner;
class SettingsStore;

// Finds the deep context of a capture: the address a browser shows, or the subject (sender, mailbox)
// of the e-mail a mail client shows. It first asks the application through its script (AppleScript,
// where the desktop has it); where that gives nothing it uses the desktop's own sources: Firefox's
// session file, the session file of a Chromium-family browser (or its DevTools endpoint where it was
// started with a remote-debugging port), and the window title of the mail clients (Thunderbird, Evolution,
// Geary, Spark). Senders and mailboxes come only from scripts.
//
// Addresses and subjects reach the log only after redaction, and never whole: an address as its
// scheme and host, a subject shortened, "[Redacted]" when the privacy rules hide it.
class DeepContextService : public DeepContextSource {
public:
    // The desktop's sources; any may be missing.
    struct Sources {
        BrowserTabSource* firefox = nullptr;
        BrowserTabSource* chromium = nullptr;
        const MailSubjectSource* mail = nullptr;
    };

    // The answer of the diagnostic Chrome check: exactly one of url and error is set.
    struct ChromeURLResult {
        bool success = false;
        std::optional<QString> url;
        std::optional<QString> error;

        bool operator==(const ChromeURLResult&) const = default;
    };

    DeepContextService(const SettingsStore& settings, ScriptRunner& scripts, const PrivacyRedaction& privacy,
                       Sources sources);

    QCoro::Task<std::optional<DeepContext>> getContext(QString appId, QString windowTitle) override;
    ChromeURLResult getChromeURL();

    // The name a browser or e-mail client goes by in its scripts; none for any other application.
    static std::optional<QString> browserName(const QString& appId);
    static std::optional<QString> emailClientName(const QString& appId);

    // The script texts (lines joined by line feeds, no line feed at the end).
    static QString frontDocumentScript(const QString& applicationName);
    static QString activeTabScript(const QString& applicationName);
    static QString genericEmailScript(const QString& applicationName);
    static QString mailScript();
    static QString sparkDesktopScript();
    static QString chromeURLScript();

    // The subject a Spark window title carries: the text before the last " - Spark"; none for the
    // bare application name.
    static std::optional<QString> sparkSubject(const QString& windowTitle);

    // How an address and a subject appear in the log.
    QString loggableUrl(const QString& url) const;
    QString loggableSubject(const QString& subject, const QString& appId) const;

private:
    struct EmailAnswer {
        std::optional<QString> subject;
        std::optional<QString> sender;
        std::optional<QString> mailbox;
    };

    std::optional<QString> runAppleScript(const QString& script);
    QCoro::Task<std::optional<QString>> browserURL(QString appId, QString windowTitle);
    std::optional<EmailAnswer> emailContext(const QString& appId, const QString& windowTitle);
    std::optional<EmailAnswer> genericEmailContext(const QString& applicationName);
    // The subject of Spark's front window, through System Events when asked to, else (and when that
    // gives nothing) from the window title the capture read.
    std::optional<EmailAnswer> sparkDesktopContext(const QString& windowTitle, bool askSystemEvents);
    std::optional<EmailAnswer> mailContext();

    const SettingsStore& m_settings;
    ScriptRunner& m_scripts;
    const PrivacyRedaction& m_privacy;
    Sources m_sources;
};
