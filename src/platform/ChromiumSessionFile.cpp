#include "platform/ChromiumSessionFile.h"

#include "core/PrivateFile.h"
#include "core/PrivateFileError.h"
#include "platform/BrowserWindowTitle.h"
#include "platform/WorkerRead.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
// The command ids this reader uses (the browser's own numbering).
enum Command : quint8 {
    setTabWindow = 0,                 // window id, tab id
    setTabIndexInWindow = 2,          // tab id, position
    navigationPathPrunedFromBack = 5, // tab id, count kept
    updateTabNavigation = 6,          // pickle: tab id, navigation index, address, title, ...
    setSelectedNavigationIndex = 7,   // tab id, navigation index
    setSelectedTabInIndex = 8,        // window id, position
    tabClosed = 16,                   // tab id, time
    windowClosed = 17,                // window id, time
    setActiveWindow = 20,             // window id
};

// Versions 1 and 3 are plain; 2 and 4 are encrypted with a key this program does not have.
bool readableVersion(qint32 version) {
    return version == 1 || version == 3;
}
bool encryptedVersion(qint32 version) {
    return version == 2 || version == 4;
}

// Little-endian reads within a payload; every read is bounds-checked.
class Reader {
public:
    Reader(const char* data, qsizetype size)
        : m_data(data)
        , m_size(size) {}

    std::optional<qint32> int32() {
        if (m_size - m_offset < 4) {
            return std::nullopt;
        }
        quint32 value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | quint8(m_data[m_offset + i]);
        }
        m_offset += 4;
        return qint32(value);
    }

    // A pickled string: its length, its bytes (of the given width), padded to four bytes.
    std::optional<QByteArray> bytes(int width) {
        const std::optional<qint32> length = int32();
        if (!length || *length < 0 || qint64(*length) * width > m_size - m_offset) {
            return std::nullopt;
        }
        const qsizetype count = qsizetype(*length) * width;
        QByteArray value(m_data + m_offset, count);
        m_offset = std::min(m_size, m_offset + ((count + 3) & ~qsizetype(3)));
        return value;
    }

    std::optional<QString> string() {
        const std::optional<QByteArray> value = bytes(1);
        return value ? std::optional<QString>(QString::fromUtf8(*value)) : std::nullopt;
    }

    std::optional<QString> string16() {
        const std::optional<QByteArray> value = bytes(2);
        if (!value) {
            return std::nullopt;
        }
        QString text(value->size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            text[i] = QChar(char16_t(quint8(value->at(2 * i)) | (quint8(value->at(2 * i + 1)) << 8)));
        }
        return text;
    }

private:
    const char* m_data;
    qsizetype m_size;
    qsizetype m_offset = 0;
};

struct Navigation {
    QString url;
    QString title;
    qsizetype written = 0; // the command's position in the file
};

struct Tab {
    qint32 window = -1;
    qint32 position = -1;
    qint32 selected = -1; // navigation index; none: the newest written
    QMap<qint32, Navigation> navigations;
    bool closed = false;

    const Navigation* current() const {
        if (navigations.isEmpty()) {
            return nullptr;
        }
        if (const auto found = navigations.constFind(selected); found != navigations.cend()) {
            return &*found;
        }
        const auto newest =
            std::max_element(navigations.cbegin(), navigations.cend(),
                             [](const Navigation& a, const Navigation& b) { return a.written < b.written; });
        return &*newest;
    }
};

struct Session {
    QHash<qint32, Tab> tabs;
    QHash<qint32, qint32> selectedPosition; // window id → position of its selected tab
    QList<qint32> closedWindows;
    std::optional<qint32> activeWindow;

    bool open(const Tab& tab) const { return !tab.closed && !closedWindows.contains(tab.window); }
};

// Replays the commands that can be read. A file cut off while the browser appended to it keeps the
// commands before the cut; a command whose payload does not parse is skipped.
void replay(const QByteArray& file, Session& session) {
    qsizetype offset = 8;
    qsizetype ordinal = 0;
    while (file.size() - offset >= 2) {
        const quint16 size = quint16(quint8(file[offset]) | (quint8(file[offset + 1]) << 8));
        offset += 2;
        if (size == 0 || size > file.size() - offset) {
            return;
        }
        const auto id = quint8(file[offset]);
        Reader payload(file.constData() + offset + 1, size - 1);
        offset += size;
        ++ordinal;
        if (id == updateTabNavigation) {
            // A pickle: its payload size, then the fields.
            const std::optional<qint32> pickled = payload.int32();
            const std::optional<qint32> tab = payload.int32();
            const std::optional<qint32> index = payload.int32();
            const std::optional<QString> url = payload.string();
            const std::optional<QString> title = payload.string16();
            if (pickled && tab && index && url && title && *index >= 0) {
                session.tabs[*tab].navigations.insert(*index, Navigation{*url, *title, ordinal});
            }
            continue;
        }
        const std::optional<qint32> first = payload.int32();
        const std::optional<qint32> second = payload.int32();
        if (!first) {
            continue;
        }
        switch (id) {
        case setTabWindow:
            if (second) {
                session.tabs[*second].window = *first;
            }
            break;
        case setTabIndexInWindow:
            if (second) {
                session.tabs[*first].position = *second;
            }
            break;
        case navigationPathPrunedFromBack:
            if (second) {
                auto& navigations = session.tabs[*first].navigations;
                navigations.erase(navigations.lowerBound(*second), navigations.end());
            }
            break;
        case setSelectedNavigationIndex:
            if (second) {
                session.tabs[*first].selected = *second;
            }
            break;
        case setSelectedTabInIndex:
            if (second) {
                session.selectedPosition.insert(*first, *second);
            }
            break;
        case tabClosed:
            session.tabs[*first].closed = true;
            break;
        case windowClosed:
            session.closedWindows.append(*first);
            break;
        case setActiveWindow:
            session.activeWindow = *first;
            break;
        default:
            break;
        }
    }
}

BrowserTab tabOf(const Navigation& navigation) {
    return BrowserTab{navigation.url, navigation.title, QString()};
}

// With no title to match: the selected tab of the active window, else the tab navigated last.
BrowserTab frontTab(const Session& session) {
    const Navigation* newest = nullptr;
    for (const Tab& tab : session.tabs) {
        const Navigation* current = tab.current();
        if (!current || !session.open(tab)) {
            continue;
        }
        if (session.activeWindow && tab.window == *session.activeWindow &&
            session.selectedPosition.value(tab.window, -2) == tab.position) {
            return tabOf(*current);
        }
        if (!newest || current->written > newest->written) {
            newest = current;
        }
    }
    return newest ? tabOf(*newest) : BrowserTab::failure(u"the browser's session file holds no open tab"_s);
}
} // namespace

ChromiumSessionFile::ChromiumSessionFile(QStringList browserFolders, std::unique_ptr<BrowserTabSource> live)
    : m_folders(std::move(browserFolders))
    , m_live(std::move(live)) {}

ChromiumSessionFile::~ChromiumSessionFile() = default;

QString ChromiumSessionFile::browserName() const {
    return u"Chromium"_s;
}

QStringList ChromiumSessionFile::defaultFolders() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString home = QDir::homePath();
    QStringList folders;
    for (const QString& name :
         {u"chromium"_s, u"google-chrome"_s, u"google-chrome-beta"_s, u"google-chrome-unstable"_s,
          u"BraveSoftware/Brave-Browser"_s, u"vivaldi"_s, u"microsoft-edge"_s, u"opera"_s}) {
        folders << config + u'/' + name;
    }
    folders << home + u"/snap/chromium/common/chromium"_s
            << home + u"/.var/app/org.chromium.Chromium/config/chromium"_s
            << home + u"/.var/app/com.google.Chrome/config/google-chrome"_s
            << home + u"/.var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser"_s
            << home + u"/.var/app/com.microsoft.Edge/config/microsoft-edge"_s
            << home + u"/.var/app/com.vivaldi.Vivaldi/config/vivaldi"_s;
    return folders;
}

QStringList ChromiumSessionFile::sessionFiles(const QStringList& browserFolders) {
    QList<QFileInfo> found;
    const auto collect = [&found](const QString& profile) {
        const QFileInfo current(QDir(profile).filePath(u"Current Session"_s));
        if (current.isFile()) {
            found << current;
        }
        const QDir sessions(QDir(profile).filePath(u"Sessions"_s));
        found << sessions.entryInfoList({u"Session_*"_s}, QDir::Files);
    };
    for (const QString& folder : browserFolders) {
        // A browser folder is a profile (Opera's) or holds them ("Default", "Profile 1", ...).
        collect(folder);
        for (const QString& profile : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            collect(QDir(folder).filePath(profile));
        }
    }
    std::sort(found.begin(), found.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() > b.lastModified(); });
    QStringList paths;
    for (qsizetype i = 0; i < found.size() && i < maxFiles; ++i) {
        paths << found[i].absoluteFilePath();
    }
    return paths;
}

BrowserTab ChromiumSessionFile::tabFromSession(const QByteArray& file, const QString& windowTitle) {
    if (file.size() < 8 || !file.startsWith("SNSS")) {
        return BrowserTab::failure(u"the browser's session file could not be read"_s);
    }
    Reader header(file.constData() + 4, 4);
    const qint32 version = header.int32().value_or(0);
    if (encryptedVersion(version)) {
        return BrowserTab::failure(u"the browser's session file is encrypted"_s);
    }
    if (!readableVersion(version)) {
        return BrowserTab::failure(u"the browser's session file has an unknown version"_s);
    }
    Session session;
    replay(file, session);
    if (windowTitle.isEmpty()) {
        return frontTab(session);
    }
    // Of the tabs whose page the window shows, the longest title ("Docs - Notes" over "Docs"), then
    // the one written last.
    const Navigation* best = nullptr;
    for (const Tab& tab : session.tabs) {
        const Navigation* current = tab.current();
        if (!current || !session.open(tab) ||
            !browserwindowtitle::shows(windowTitle, current->title, current->url)) {
            continue;
        }
        if (!best || current->title.size() > best->title.size() ||
            (current->title.size() == best->title.size() && current->written > best->written)) {
            best = current;
        }
    }
    return best ? tabOf(*best) : BrowserTab::failure(u"the browser has not saved that tab yet"_s);
}

BrowserTab ChromiumSessionFile::readActiveTab(const QStringList& browserFolders, const QString& windowTitle) {
    const QStringList files = sessionFiles(browserFolders);
    if (files.isEmpty()) {
        return BrowserTab::failure(u"no session file of a Chromium-family browser found"_s);
    }
    QString problem;
    for (const QString& path : files) {
        BrowserTab tab;
        try {
            tab = tabFromSession(PrivateFile::read(path, maxFileBytes), windowTitle);
        } catch (const PrivateFileError& error) {
            tab = BrowserTab::failure(u"the browser's session file could not be read ("_s + error.detail() +
                                      u')');
        }
        if (tab.found()) {
            return tab;
        }
        if (problem.isEmpty()) {
            problem = tab.problem;
        }
        if (windowTitle.isEmpty()) {
            break; // the newest file is the browser used last
        }
    }
    return BrowserTab::failure(problem);
}

QCoro::Task<BrowserTab> ChromiumSessionFile::activeTab(QString windowTitle) {
    if (m_live) {
        BrowserTab live = co_await m_live->activeTab(windowTitle);
        if (live.found()) {
            co_return live;
        }
    }
    std::function<BrowserTab()> read = [folders = m_folders, windowTitle] {
        return readActiveTab(folders, windowTitle);
    };
    const BrowserTab tab = co_await WorkerRead::tab(std::move(read));
    co_return tab;
}
