#include "platform/LaunchAtLogin.h"

#include "platform/LaunchAtLoginError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// Characters that make an Exec= argument need quotes (the desktop entry format's reserved set).
const QString reservedCharacters = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

bool isTrue(const QString& value) {
    return value.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool isFalse(const QString& value) {
    return value.trimmed().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0;
}

} // namespace

LaunchAtLogin::LaunchAtLogin()
    : LaunchAtLogin(defaultEntryPath(), QCoreApplication::applicationFilePath()) {}

LaunchAtLogin::LaunchAtLogin(QString entryPath, QString executable)
    : m_entryPath(std::move(entryPath))
    , m_executable(std::move(executable)) {}

QString LaunchAtLogin::defaultEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/") + entryName;
}

QString LaunchAtLogin::execValue(const QString& executable) {
    QString value = executable;
    const bool needsQuotes =
        std::any_of(value.cbegin(), value.cend(), [](QChar c) { return reservedCharacters.contains(c); });
    if (needsQuotes) {
        // Inside quotes, ", `, $ and \ take a backslash; then the string escapes apply, which double
        // every backslash once more.
        QString quoted;
        for (const QChar c : value) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                quoted += u'\\';
            }
            quoted += c;
        }
        quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
        value = u'"' + quoted + u'"';
    }
    // A lone % would start a field code.
    value.replace(QStringLiteral("%"), QStringLiteral("%%"));
    return value;
}

bool LaunchAtLogin::isEnabled() const {
    QFile file(m_entryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    bool inMainGroup = false;
    bool sawMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup) {
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1);
        if ((key == QLatin1String("Hidden") && isTrue(value)) ||
            (key == QLatin1String("X-GNOME-Autostart-enabled") && isFalse(value))) {
            return false;
        }
    }
    return sawMainGroup;
}

void LaunchAtLogin::setEnabled(bool enabled) {
    if (enabled) {
        writeEntry();
    } else {
        removeEntry();
    }
}

void LaunchAtLogin::writeEntry() const {
    if (m_executable.contains(u'\n') || m_executable.contains(u'\r')) {
        throw LaunchAtLoginError(m_entryPath, QStringLiteral("the program's path holds a line break"));
    }
    const QString folder = QFileInfo(m_entryPath).absolutePath();
    if (!QDir().mkpath(folder)) {
        throw LaunchAtLoginError(m_entryPath, QStringLiteral("the folder %1 cannot be made").arg(folder));
    }
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Pendlow\n"
                                        "Comment=Companion for ClickUp time logging\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execValue(m_executable));
    QSaveFile file(m_entryPath);
    if (!file.open(QIODevice::WriteOnly)) {
        throw LaunchAtLoginError(m_entryPath, file.errorString());
    }
    file.write(text.toUtf8());
    if (!file.commit()) {
        throw LaunchAtLoginError(m_entryPath, file.errorString());
    }
}

void LaunchAtLogin::removeEntry() const {
    QFile file(m_entryPath);
    const QFileInfo info(m_entryPath);
    if (!info.exists() && !info.isSymLink()) {
        return;
    }
    if (!file.remove()) {
        throw LaunchAtLoginError(m_entryPath, file.errorString());
    }
}
