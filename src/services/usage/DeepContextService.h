#pragma once

#include "services/usage/DeepContext.h"

#include <QString>

#include <optional>

class BrowserTabSource;
class MailSubjectSource;
class PrivacyRedaction;
class SettingsStore;

// Finds the deep context of a capture: the address a browser shows, or the subject of the e-mail a mail
// client shows, from the desktop's own sources: Firefox's session file, the session file of a
// Chromium-family browser (or its DevTools endpoint where it was started with a remote-debugging port),
// and the window title of the mail clients (Thunderbird, Evolution, Geary, Spark). Browsers and mail
// clients with no such source here (Safari, Apple Mail) give nothing. No source names a sender or a
// mailbox; those fields of a deep context stay empty (older day files may still carry them).
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

    DeepContextService(const SettingsStore& settings, const PrivacyRedaction& privacy, Sources sources);

    QCoro::Task<std::optional<DeepContext>> getContext(QString appId, QString windowTitle) override;

    // The name of a browser or e-mail client as the log shows it; none for any other application.
    static std::optional<QString> browserName(const QString& appId);
    static std::optional<QString> emailClientName(const QString& appId);

    // The subject a Spark window title carries: the text before the last " - Spark"; none for the
    // bare application name.
    static std::optional<QString> sparkSubject(const QString& windowTitle);

    // How an address and a subject appear in the log.
    QString loggableUrl(const QString& url) const;
    QString loggableSubject(const QString& subject, const QString& appId) const;

private:
    QCoro::Task<std::optional<QString>> browserURL(QString appId, QString windowTitle);
    std::optional<QString> emailSubject(const QString& appId, const QString& windowTitle) const;
    // The subject of Spark's front window, from the window title the capture read.
    std::optional<QString> sparkTitleSubject(const QString& windowTitle) const;

    const SettingsStore& m_settings;
    const PrivacyRedaction& m_privacy;
    Sources m_sources;
};
