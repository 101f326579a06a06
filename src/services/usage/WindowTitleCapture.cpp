#include "services/usage/WindowTitleCapture.h"

#include "core/AppCatalogue.h"
#include "core/CharacterTruncation.h"

#include "services/usage/UsageText.h"

#include <QSet>
#include <QUrl>

#include <array>

using usagetext::trimmedHorizontal;

namespace {
const QString kHyphen = QStringLiteral(" - ");
const QString kBar = QStringLiteral(" | ");
const QString kEnDash = QStringLiteral(" \u2013 ");
const QString kEmDash = QStringLiteral(" \u2014 ");

const std::array<const QString*, 3>& titleSeparators() {
    static const std::array<const QString*, 3> separators{&kHyphen, &kBar, &kEnDash};
    return separators;
}

// The names Linux programs put in their window titles, in lower case.
const QSet<QString>& applicationNames() {
    static const QSet<QString> names = [] {
        QSet<QString> result;
        for (const AppCatalogue::App& app : AppCatalogue::all()) {
            // Editors' titles are cleaned by their own rules, which look for their names.
            if (app.earlierRecordsOnly || app.kind == AppCatalogue::Kind::editor) {
                continue;
            }
            result.insert(app.name.toLower());
            result.insert(QStringLiteral("mozilla ") + app.name.toLower());
            result.insert(app.id.toLower());
        }
        return result;
    }();
    return names;
}

bool namesApplication(QStringView part, QStringView applicationName) {
    const QStringView trimmed = part.trimmed();
    if (trimmed.isEmpty()) {
        return false;
    }
    if (!applicationName.isEmpty() && trimmed.compare(applicationName, Qt::CaseInsensitive) == 0) {
        return true;
    }
    return applicationNames().contains(trimmed.toString().toLower());
}

// The part before the first separator of the list that the text holds, when that part names
// something (more than two characters, not "New Tab").
std::optional<QString> leadingPart(const QString& text) {
    for (const QString* separator : titleSeparators()) {
        const qsizetype at = text.indexOf(*separator);
        if (at < 0) {
            continue;
        }
        const QString part = trimmedHorizontal(QStringView(text).left(at));
        if (part.toLower() != QLatin1String("new tab") && characterCount(part) > 2) {
            return part;
        }
    }
    return std::nullopt;
}

std::optional<QString> hostOf(const QString& address) {
    if (address.isEmpty()) {
        return std::nullopt;
    }
    const QUrl url(address);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url.host();
}

bool nonEmpty(const std::optional<QString>& text) {
    return text.has_value() && !text->isEmpty();
}
} // namespace

QString WindowTitleCapture::senderName(const QString& sender) {
    const qsizetype open = sender.indexOf(QLatin1Char('<'));
    if (open < 0 || !sender.contains(QLatin1Char('>'))) {
        return sender;
    }
    const QString name = trimmedHorizontal(QStringView(sender).left(open));
    return name.isEmpty() ? sender : name;
}

std::optional<QString> WindowTitleCapture::emailLine() const {
    if (!nonEmpty(emailSubject)) {
        return std::nullopt;
    }
    QString line;
    if (nonEmpty(emailMailbox)) {
        line += QLatin1Char('[') + *emailMailbox + QStringLiteral("] ");
    }
    if (nonEmpty(emailSender)) {
        line += senderName(*emailSender) + QStringLiteral(": ");
    }
    line += *emailSubject;
    return line;
}

std::optional<QString> WindowTitleCapture::contextString() const {
    if (isRedacted) {
        return std::nullopt;
    }
    if (url.has_value()) {
        if (const std::optional<QString> host = hostOf(*url)) {
            const std::optional<QString> tab = tabTitle();
            if (nonEmpty(tab)) {
                return *host + QStringLiteral(": ") + *tab;
            }
            return host;
        }
    }
    if (std::optional<QString> line = emailLine()) {
        return line;
    }
    return cleanedTitle();
}

std::optional<QString> WindowTitleCapture::tabTitle() const {
    return leadingPart(title);
}

QStringView WindowTitleCapture::withoutApplicationName(QStringView title, QStringView applicationName) {
    QStringView rest = title;
    // At the end, after the last separator.
    qsizetype cut = -1;
    qsizetype after = 0;
    for (const QString* separator : {&kHyphen, &kEnDash, &kEmDash}) {
        const qsizetype at = rest.lastIndexOf(*separator);
        if (at > cut) {
            cut = at;
            after = at + separator->size();
        }
    }
    if (cut > 0 && namesApplication(rest.mid(after), applicationName)) {
        rest = rest.left(cut);
    }
    // At the start, before a colon: "xterm: ~".
    const qsizetype colon = rest.indexOf(QLatin1String(": "));
    if (colon > 0 && colon + 2 < rest.size() && namesApplication(rest.left(colon), applicationName)) {
        rest = rest.mid(colon + 2);
    }
    rest = rest.trimmed();
    return rest.isEmpty() ? title : rest;
}

std::optional<QString> WindowTitleCapture::cleanedTitle() const {
    QString raw = withoutApplicationName(title).toString();
    raw.remove(QStringLiteral(" \u2014 Edited"));
    raw.remove(QStringLiteral(" - Edited"));
    raw.remove(QLatin1Char('*'));
    QString t = trimmedHorizontal(raw);
    if (characterCount(t) < 3) {
        return std::nullopt;
    }

    // Documents of the system's own editors: "Inbox — Alice — Mail" names the application last.
    if (t.contains(kEmDash)) {
        return trimmedHorizontal(t.split(kEmDash).constLast());
    }

    if (t.contains(QLatin1String(" - Visual Studio Code"))) {
        QString rest = t;
        rest.remove(QStringLiteral(" - Visual Studio Code"));
        return trimmedHorizontal(rest.split(kHyphen).constFirst());
    }

    static const std::array<QLatin1String, 9> ides{
        QLatin1String("PhpStorm"), QLatin1String("WebStorm"), QLatin1String("IntelliJ IDEA"),
        QLatin1String("PyCharm"),  QLatin1String("RubyMine"), QLatin1String("GoLand"),
        QLatin1String("CLion"),    QLatin1String("Rider"),    QLatin1String("DataGrip")};
    for (const QLatin1String ide : ides) {
        if (!t.contains(ide)) {
            continue;
        }
        QString rest = t;
        rest.remove(kEnDash + ide);
        const QStringList parts = rest.split(kEnDash);
        if (parts.size() >= 2) {
            return trimmedHorizontal(parts[0]) + QStringLiteral(": ") + trimmedHorizontal(parts[1]);
        }
        return trimmedHorizontal(parts[0]);
    }

    if (t.contains(QLatin1Char('[')) && t.contains(QLatin1Char(']')) && t.contains(kEnDash)) {
        const QString project = trimmedHorizontal(QStringView(t).left(t.indexOf(QLatin1Char('['))));
        const QString file = usagetext::lastPathComponent(t.split(kEnDash).constLast());
        if (!project.isEmpty() && !file.isEmpty()) {
            return project + QStringLiteral(": ") + file;
        }
    }

    if (t.contains(QStringLiteral("\u2014 zsh")) || t.contains(QStringLiteral("\u2014 bash")) ||
        t.contains(QStringLiteral("\u2014 fish"))) {
        QString rest = t;
        for (const char* shell : {"zsh", "bash", "fish", "sh"}) {
            rest.remove(QStringLiteral("\u2014 ") + QLatin1String(shell));
        }
        return trimmedHorizontal(rest);
    }

    if (t.startsWith(QLatin1Char('#'))) {
        return t.split(kHyphen).constFirst();
    }

    if (t.contains(QStringLiteral(" \u2013 Figma"))) {
        QString rest = t;
        rest.remove(QStringLiteral(" \u2013 Figma"));
        return trimmedHorizontal(rest);
    }

    if (t.endsWith(QLatin1String(" - Notion"))) {
        QString rest = t;
        rest.remove(QStringLiteral(" - Notion"));
        return trimmedHorizontal(rest);
    }

    if (std::optional<QString> part = leadingPart(t)) {
        return part;
    }

    if (t.contains(QLatin1Char(':')) && (t.contains(QLatin1Char('~')) || t.contains(QLatin1Char('/')))) {
        const QString last = trimmedHorizontal(t.split(QLatin1Char(':')).constLast());
        const QStringList pieces = last.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        return pieces.isEmpty() ? last : pieces.constLast();
    }

    return truncatedToCharacters(t, 60);
}
