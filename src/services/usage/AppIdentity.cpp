#include "services/usage/AppIdentity.h"

#include <QHash>

namespace {
struct Counterpart {
    const char* id;
    std::initializer_list<const char*> linuxNames; // desktop-file ids, GTK ids, window classes
};

// Linux names (compared in lower case) of the applications that have a counterpart in the tables.
const std::initializer_list<Counterpart>& counterparts() {
    static const std::initializer_list<Counterpart> table{
        {"com.google.Chrome",
         {"google-chrome", "com.google.chrome", "google-chrome-stable", "chromium", "chromium-browser",
          "org.chromium.chromium"}},
        {"com.brave.Browser", {"brave-browser", "com.brave.browser", "brave"}},
        {"com.microsoft.edgemac", {"microsoft-edge", "com.microsoft.edge", "microsoft-edge-stable"}},
        {"com.operasoftware.Opera", {"opera", "com.opera.opera"}},
        {"com.vivaldi.Vivaldi", {"vivaldi-stable", "vivaldi", "com.vivaldi.vivaldi"}},
        {"org.mozilla.firefox", {"firefox", "org.mozilla.firefox", "firefox-esr", "firefox_firefox"}},
        {"com.microsoft.VSCode",
         {"code", "com.visualstudio.code", "visual-studio-code", "code-oss", "com.vscodium.codium",
          "codium"}},
        {"com.jetbrains.PhpStorm", {"jetbrains-phpstorm", "phpstorm"}},
        {"com.jetbrains.WebStorm", {"jetbrains-webstorm", "webstorm"}},
        {"com.jetbrains.intellij",
         {"jetbrains-idea", "jetbrains-idea-ce", "intellij-idea-ultimate", "intellij-idea-community"}},
        {"com.jetbrains.pycharm",
         {"jetbrains-pycharm", "jetbrains-pycharm-ce", "pycharm-professional", "pycharm-community"}},
        {"com.jetbrains.goland", {"jetbrains-goland", "goland"}},
        {"com.jetbrains.CLion", {"jetbrains-clion", "clion"}},
        {"com.jetbrains.rider", {"jetbrains-rider", "rider"}},
        {"com.sublimetext.4", {"sublime_text", "sublime-text", "com.sublimetext.four"}},
        {"dev.warp.Warp-Stable", {"dev.warp.warp", "warp-terminal", "warp"}},
        {"co.zeit.hyper", {"hyper"}},
        {"com.apple.Terminal",
         {"org.gnome.terminal", "gnome-terminal", "gnome-terminal-server", "org.gnome.console", "kgx",
          "org.kde.konsole", "konsole", "xfce4-terminal", "xterm", "org.xfce.terminal"}},
        {"com.tinyspeck.slackmacgap", {"slack", "com.slack.slack"}},
        {"com.hnc.Discord", {"discord", "com.discordapp.discord"}},
        {"com.figma.Desktop", {"figma-linux", "io.github.figma_linux.figma_linux"}},
        {"notion.id", {"notion-app", "notion", "notion-app-enhanced"}},
        {"org.mozilla.thunderbird", {"thunderbird", "org.mozilla.thunderbird", "thunderbird-esr"}},
        {"com.bitwarden.desktop", {"bitwarden", "com.bitwarden.desktop"}},
        {"com.agilebits.onepassword8", {"1password"}},
        {"org.keepassxc.KeePassXC", {"org.keepassxc.keepassxc", "keepassxc"}},
        {"org.gnome.seahorse.Application", {"org.gnome.seahorse.application", "seahorse"}},
        {"org.kde.kwalletmanager5",
         {"org.kde.kwalletmanager5", "kwalletmanager5", "org.kde.kwalletmanager", "kwalletmanager"}},
        {"com.apple.finder", {"org.gnome.nautilus", "nautilus", "org.kde.dolphin", "dolphin", "thunar"}},
    };
    return table;
}

const QHash<QString, QString>& byLinuxName() {
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> result;
        for (const Counterpart& counterpart : counterparts()) {
            for (const char* name : counterpart.linuxNames) {
                result.insert(QString::fromLatin1(name), QString::fromLatin1(counterpart.id));
            }
        }
        return result;
    }();
    return map;
}

QString withoutDesktopSuffix(const QString& id) {
    return id.endsWith(QLatin1String(".desktop")) ? id.chopped(8) : id;
}
} // namespace

QString AppIdentity::bundleIdentifier(const QString& desktopFileId, const QString& gtkApplicationId,
                                      const QString& wmClassInstance, const QString& wmClassClass) {
    const QString desktopId = withoutDesktopSuffix(desktopFileId.trimmed());
    const QString gtkId = gtkApplicationId.trimmed();
    const QString instance = wmClassInstance.trimmed();
    const QString windowClass = wmClassClass.trimmed();
    for (const QString& name : {desktopId, gtkId, windowClass, instance}) {
        if (name.isEmpty()) {
            continue;
        }
        const QString mapped = byLinuxName().value(name.toLower());
        if (!mapped.isEmpty()) {
            return mapped;
        }
    }
    if (!desktopId.isEmpty()) {
        return desktopId;
    }
    if (!gtkId.isEmpty()) {
        return gtkId;
    }
    if (!windowClass.isEmpty()) {
        return windowClass;
    }
    if (!instance.isEmpty()) {
        return instance;
    }
    return QStringLiteral("unknown");
}

QStringList AppIdentity::desktopFileIds(const QString& bundleIdentifier) {
    QStringList ids;
    for (const Counterpart& counterpart : counterparts()) {
        if (bundleIdentifier == QLatin1String(counterpart.id)) {
            for (const char* name : counterpart.linuxNames) {
                ids.append(QString::fromLatin1(name));
            }
        }
    }
    ids.append(bundleIdentifier);
    if (bundleIdentifier.toLower() != bundleIdentifier) {
        ids.append(bundleIdentifier.toLower());
    }
    ids.removeDuplicates();
    return ids;
}
