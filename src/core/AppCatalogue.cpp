#include "core/AppCatalogue.h"

#include <QHash>

namespace {
using Kind = AppCatalogue::Kind;
using Source = AppCatalogue::AddressSource;

AppCatalogue::App app(const char* id, const char* name, Kind kind, std::initializer_list<const char*> others,
                      Source source = Source::none, bool reportedBrowser = true) {
    AppCatalogue::App entry;
    entry.id = QString::fromUtf8(id);
    entry.name = QString::fromUtf8(name);
    entry.kind = kind;
    entry.addressSource = source;
    entry.reportedBrowser = kind == Kind::browser && reportedBrowser;
    // Every entry whose own id is a "com." or "company." id is one that only earlier records name.
    entry.earlierRecordsOnly =
        entry.id.startsWith(QLatin1String("com.")) || entry.id.startsWith(QLatin1String("company."));
    for (const char* other : others) {
        entry.otherNames.append(QString::fromUtf8(other));
    }
    return entry;
}

QString withoutDesktopSuffix(const QString& name) {
    const QString trimmed = name.trimmed();
    return trimmed.endsWith(QLatin1String(".desktop")) ? trimmed.chopped(8) : trimmed;
}

const QHash<QString, qsizetype>& byName() {
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> result;
        const QList<AppCatalogue::App>& apps = AppCatalogue::all();
        for (qsizetype i = 0; i < apps.size(); ++i) {
            result.insert(apps[i].id.toLower(), i);
            for (const QString& other : apps[i].otherNames) {
                result.insert(other.toLower(), i);
            }
        }
        return result;
    }();
    return index;
}
} // namespace

const QList<AppCatalogue::App>& AppCatalogue::all() {
    static const QList<App> apps{
        // Browsers: Chromium's family, Firefox's, and those only earlier versions' records name.
        app("chromium", "Chromium", Kind::browser, {"chromium-browser", "org.chromium.Chromium"},
            Source::chromiumSession),
        app("google-chrome", "Google Chrome", Kind::browser, {"com.google.Chrome", "google-chrome-stable"},
            Source::chromiumSession),
        app("google-chrome-unstable", "Google Chrome Canary", Kind::browser, {"com.google.Chrome.canary"},
            Source::chromiumSession, false),
        app("brave-browser", "Brave Browser", Kind::browser, {"com.brave.Browser", "brave"},
            Source::chromiumSession),
        app("microsoft-edge", "Microsoft Edge", Kind::browser,
            {"com.microsoft.edgemac", "microsoft-edge-stable", "com.microsoft.Edge"},
            Source::chromiumSession),
        app("opera", "Opera", Kind::browser, {"com.operasoftware.Opera", "com.opera.Opera"},
            Source::chromiumSession),
        app("vivaldi-stable", "Vivaldi", Kind::browser, {"com.vivaldi.Vivaldi", "vivaldi"},
            Source::chromiumSession, false),
        app("firefox-esr", "Firefox ESR", Kind::browser, {}, Source::firefoxSession),
        app("firefox", "Firefox", Kind::browser, {"org.mozilla.firefox", "firefox_firefox", "Navigator"},
            Source::firefoxSession),
        app("org.gnome.Epiphany", "Web", Kind::browser, {"epiphany"}),
        app("company.thebrowser.Browser", "Arc", Kind::browser, {}, Source::notOnLinux),
        app("com.apple.Safari", "Safari", Kind::browser, {}, Source::notOnLinux),
        app("com.apple.SafariTechnologyPreview", "Safari Technology Preview", Kind::browser, {},
            Source::notOnLinux, false),
        // E-mail clients.
        app("thunderbird", "Thunderbird", Kind::mail, {"org.mozilla.Thunderbird", "thunderbird-esr"}),
        app("org.gnome.Evolution", "Evolution", Kind::mail, {"evolution"}),
        app("org.gnome.Geary", "Geary", Kind::mail, {"geary"}),
        app("com.readdle.smartemail", "Spark", Kind::mail, {"com.readdle.smartemail-setapp"}),
        app("com.readdle.SparkDesktop", "Spark Desktop", Kind::mail, {"com.readdle.SparkDesktop.appstore"}),
        app("com.apple.mail", "Mail", Kind::mail, {}),
        // Editors.
        app("code", "Visual Studio Code", Kind::editor,
            {"com.microsoft.VSCode", "com.visualstudio.code", "visual-studio-code", "code-oss"}),
        app("codium", "VSCodium", Kind::editor, {"com.vscodium.codium"}),
        app("jetbrains-phpstorm", "PhpStorm", Kind::editor, {"com.jetbrains.PhpStorm", "phpstorm"}),
        app("jetbrains-webstorm", "WebStorm", Kind::editor, {"com.jetbrains.WebStorm", "webstorm"}),
        app("jetbrains-idea", "IntelliJ IDEA", Kind::editor,
            {"com.jetbrains.intellij", "jetbrains-idea-ce", "intellij-idea-ultimate",
             "intellij-idea-community"}),
        app("jetbrains-pycharm", "PyCharm", Kind::editor,
            {"com.jetbrains.pycharm", "jetbrains-pycharm-ce", "pycharm-professional", "pycharm-community"}),
        app("jetbrains-goland", "GoLand", Kind::editor, {"com.jetbrains.goland", "goland"}),
        app("jetbrains-clion", "CLion", Kind::editor, {"com.jetbrains.CLion", "clion"}),
        app("jetbrains-rider", "Rider", Kind::editor, {"com.jetbrains.rider", "rider"}),
        app("sublime_text", "Sublime Text", Kind::editor,
            {"com.sublimetext.4", "com.sublimetext.3", "sublime-text"}),
        app("com.apple.dt.Xcode", "Xcode", Kind::editor, {}),
        // Terminals.
        app("xterm", "XTerm", Kind::terminal, {"uxterm"}),
        app("org.gnome.Terminal", "Terminal", Kind::terminal, {"gnome-terminal", "gnome-terminal-server"}),
        app("org.gnome.Console", "Console", Kind::terminal, {"kgx"}),
        app("org.kde.konsole", "Konsole", Kind::terminal, {"konsole"}),
        app("xfce4-terminal", "Xfce Terminal", Kind::terminal, {"org.xfce.terminal"}),
        app("dev.warp.Warp", "Warp", Kind::terminal, {"dev.warp.Warp-Stable", "warp-terminal", "warp"}),
        app("hyper", "Hyper", Kind::terminal, {"co.zeit.hyper"}),
        app("com.apple.Terminal", "Terminal", Kind::terminal, {}),
        app("com.googlecode.iterm2", "iTerm", Kind::terminal, {}),
        // Password managers and key stores: their titles are never kept.
        app("bitwarden", "Bitwarden", Kind::passwordManager, {"com.bitwarden.desktop"}),
        app("1password", "1Password", Kind::passwordManager,
            {"com.agilebits.onepassword8", "com.agilebits.onepassword7"}),
        app("org.keepassxc.KeePassXC", "KeePassXC", Kind::passwordManager, {"keepassxc"}),
        app("org.gnome.seahorse.Application", "Passwords and Keys", Kind::passwordManager, {"seahorse"}),
        app("org.kde.kwalletmanager5", "KWalletManager", Kind::passwordManager,
            {"kwalletmanager5", "org.kde.kwalletmanager", "kwalletmanager"}),
        app("com.lastpass.LastPass", "LastPass", Kind::passwordManager, {}),
        app("com.dashlane.Dashlane", "Dashlane", Kind::passwordManager, {}),
        app("com.apple.keychainaccess", "Keychain Access", Kind::passwordManager, {}),
        // File managers.
        app("org.gnome.Nautilus", "Files", Kind::fileManager, {"nautilus"}),
        app("org.kde.dolphin", "Dolphin", Kind::fileManager, {"dolphin"}),
        app("thunar", "Thunar", Kind::fileManager, {"org.xfce.thunar"}),
        app("pcmanfm", "PCManFM", Kind::fileManager, {}),
        app("com.apple.finder", "Finder", Kind::fileManager, {}),
    };
    return apps;
}

const AppCatalogue::App* AppCatalogue::find(const QString& name) {
    // As given first: "com.bitwarden.desktop" is an id, not a desktop file's name.
    auto found = byName().constFind(name.trimmed().toLower());
    if (found == byName().cend()) {
        found = byName().constFind(withoutDesktopSuffix(name).toLower());
    }
    return found == byName().cend() ? nullptr : &all()[*found];
}

bool AppCatalogue::is(const QString& name, Kind kind) {
    const App* known = find(name);
    return known && known->kind == kind;
}

QStringList AppCatalogue::namesOf(const QString& name) {
    const App* known = find(name);
    if (!known) {
        return {name};
    }
    QStringList names{known->id};
    names += known->otherNames;
    return names;
}
