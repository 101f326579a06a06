#pragma once

#include "platform/ClientWindow.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

// A mail client whose windows the e-mail capture recognises, and how its window titles carry the
// subject. Desktop clients are recognised by their window class alone; webmail by a browser window
// class together with a title that matches the client's suffix.
struct MailClient {
    QString name;              // shown in the placeholder subject: "Email from <name>"
    QStringList windowClasses; // lower case, matched against both parts of WM_CLASS
    // What follows the subject in a title. The subject is the text before the last match; a title
    // without a match is the subject whole (desktop clients) or not a mail window (webmail).
    QRegularExpression titleSuffix;
    bool isWebmail = false;
    // Titles that name a view rather than an e-mail (besides "Inbox", "Settings", "Preferences").
    QStringList viewTitles;
    // Folder views are titled "<folder> - <account>" ("Inbox - Local Folders"): a view title
    // followed by " - " names a view as well.
    bool folderViewTitles = false;

    // The table of known clients, in the order they are tried.
    static const QList<MailClient>& known();
    // The first known client that claims the window, if any.
    static std::optional<MailClient> forWindow(const ClientWindow& window);

    bool claims(const ClientWindow& window) const;
    // The subject a title gives: the text before the suffix, or "Email from <name>" when that text
    // names a view (the inbox, settings, preferences, the client itself). None for an empty title.
    std::optional<QString> subjectFromTitle(const QString& title) const;
    QString placeholderSubject() const;
};
