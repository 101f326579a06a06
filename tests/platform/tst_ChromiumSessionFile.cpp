// The address of a Chromium-family browser's tab from its session file, without a debugging port:
// session files written byte by byte here (several tabs and windows, navigations back and forth,
// closed tabs, cut-off and garbage files), the profile folders of several browsers, and the live
// DevTools answer kept in front where a browser gives one.
#include "support/TestMain.h"

#include "platform/ChromiumSessionFile.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/time.h>

using namespace Qt::StringLiterals;

namespace {
// Little-endian 32-bit integers, pickled strings and commands as the browser writes them.
void int32(QByteArray& out, qint32 value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.append(char((quint32(value) >> shift) & 0xff));
    }
}

void pad(QByteArray& out) {
    while (out.size() % 4 != 0) {
        out.append('\0');
    }
}

QByteArray command(quint8 id, const QByteArray& payload) {
    const quint16 size = quint16(payload.size() + 1);
    QByteArray out;
    out.append(char(size & 0xff)).append(char(size >> 8)).append(char(id)).append(payload);
    return out;
}

QByteArray ints(std::initializer_list<qint32> values) {
    QByteArray out;
    for (const qint32 value : values) {
        int32(out, value);
    }
    return out;
}

// An "update tab navigation" command: a pickle of the tab, the navigation's index, its address and
// its title (UTF-16), then fields this reader skips.
QByteArray navigation(qint32 tab, qint32 index, const QByteArray& url, const QString& title) {
    QByteArray fields = ints({tab, index});
    int32(fields, qint32(url.size()));
    fields.append(url);
    pad(fields);
    int32(fields, qint32(title.size()));
    for (const QChar c : title) {
        fields.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    }
    pad(fields);
    fields.append(ints({0, 1, 0})); // page state (empty), transition, type mask
    QByteArray pickle;
    int32(pickle, qint32(fields.size()));
    return command(6, pickle + fields);
}

QByteArray header(qint32 version = 3) {
    QByteArray out("SNSS");
    int32(out, version);
    return out;
}

QByteArray tabWindow(qint32 window, qint32 tab, qint32 position) {
    return command(0, ints({window, tab})) + command(2, ints({tab, position}));
}

// Two windows: window 1 holds "Board" (tab 10) and "Docs" (tab 11, back at its first page after
// visiting a second); window 2, the active one, holds "Mail" (tab 20, selected) and "Docs - Notes"
// (tab 21).
QByteArray twoWindows() {
    return header() + tabWindow(1, 10, 0) + tabWindow(1, 11, 1) + tabWindow(2, 20, 0) + tabWindow(2, 21, 1) +
           navigation(10, 0, "https://board.example/b/1", u"Board"_s) +
           navigation(11, 0, "https://docs.example/start", u"Docs"_s) +
           navigation(11, 1, "https://docs.example/page-2", u"Docs page 2"_s) + command(7, ints({11, 1})) +
           command(7, ints({11, 0})) + navigation(20, 0, "https://mail.example/inbox", u"Mail"_s) +
           navigation(21, 0, "https://docs.example/notes", u"Docs - Notes"_s) + command(8, ints({1, 1})) +
           command(8, ints({2, 0})) + command(20, ints({2}));
}

void write(const QString& path, const QByteArray& bytes, int secondsAgo) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const timeval now{time(nullptr) - secondsAgo, 0};
    const timeval times[2] = {now, now};
    QVERIFY(utimes(QFile::encodeName(path).constData(), times) == 0);
}

// A source that answers as a DevTools endpoint does, or as one that is not open.
class FixedSource : public BrowserTabSource {
public:
    explicit FixedSource(BrowserTab tab)
        : m_tab(std::move(tab)) {}
    QString browserName() const override { return u"Chromium"_s; }
    QCoro::Task<BrowserTab> activeTab(QString) override { co_return m_tab; }

private:
    BrowserTab m_tab;
};
} // namespace

class ChromiumSessionFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tabOfTheWindowInFront_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("windowTitle");
        QTest::addColumn<QString>("url"); // empty: none found

        const QByteArray session = twoWindows();
        QTest::newRow("second tab of a window")
            << session << u"Board - Chromium"_s << u"https://board.example/b/1"_s;
        QTest::newRow("the navigation selected, not the last written")
            << session << u"Docs - Google Chrome"_s << u"https://docs.example/start"_s;
        QTest::newRow("the longer title that the window shows")
            << session << u"Docs - Notes - Brave"_s << u"https://docs.example/notes"_s;
        QTest::newRow("no title: the active window's selected tab")
            << session << QString() << u"https://mail.example/inbox"_s;
        QTest::newRow("a page that is not in the file yet")
            << session << u"New page - Chromium"_s << QString();
        QTest::newRow("a rewritten navigation: its newest title and address")
            << session + navigation(10, 0, "https://board.example/b/2", u"Board 2"_s)
            << u"Board 2 - Chromium"_s << u"https://board.example/b/2"_s;
        QTest::newRow("a closed tab")
            << session + command(16, ints({10, 0, 0, 0})) << u"Board - Chromium"_s << QString();
        QTest::newRow("a closed window")
            << session + command(17, ints({2, 0, 0, 0})) << u"Mail - Chromium"_s << QString();
        QTest::newRow("forward history pruned")
            << session + command(5, ints({11, 1})) + command(7, ints({11, 5})) << u"Docs - Chromium"_s
            << u"https://docs.example/start"_s;
        QTest::newRow("version 1 file")
            << header(1) + session.mid(8) << u"Board - Chromium"_s << u"https://board.example/b/1"_s;

        // Damaged files: what can be read before the damage is used, nothing is read past it.
        const QByteArray cut = session + navigation(30, 0, "https://cut.example/", u"Cut"_s);
        QTest::newRow("cut off in a command: the commands before it")
            << cut.left(cut.size() - 7) << u"Board - Chromium"_s << u"https://board.example/b/1"_s;
        QTest::newRow("cut off in a command: not that command")
            << cut.left(cut.size() - 7) << u"Cut - Chromium"_s << QString();
        QByteArray lying = navigation(40, 0, "https://lie.example/", u"Lie"_s);
        lying[3 + 4 + 8] = char(0x7f); // the address's length far past the command's end
        QTest::newRow("a string length past its command")
            << session + lying + navigation(41, 0, "https://after.example/", u"After"_s)
            << u"After - Chromium"_s << u"https://after.example/"_s;
        QByteArray negative = navigation(42, 0, "https://neg.example/", u"Neg"_s);
        negative[3 + 4 + 8 + 3] = char(0xff); // a negative length
        QTest::newRow("a negative string length") << session + negative << u"Neg - Chromium"_s << QString();
        QTest::newRow("a command size past the end")
            << header() + QByteArray("\xff\xff\x06", 3) + QByteArray(40, 'x') << u"Board - Chromium"_s
            << QString();
        QTest::newRow("commands too short for their fields")
            << header() + command(0, "ab") + command(7, {}) + command(6, ints({8})) << QString() << QString();
        QTest::newRow("garbage") << QByteArray("<html>not a session</html>") << u"Board - Chromium"_s
                                 << QString();
        QTest::newRow("header only") << header() << QString() << QString();
        QTest::newRow("an encrypted version")
            << header(2) + session.mid(8) << u"Board - Chromium"_s << QString();
        QTest::newRow("empty") << QByteArray() << QString() << QString();
    }

    void tabOfTheWindowInFront() {
        QFETCH(QByteArray, file);
        QFETCH(QString, windowTitle);
        QFETCH(QString, url);
        const BrowserTab tab = ChromiumSessionFile::tabFromSession(file, windowTitle);
        QCOMPARE(tab.url.value_or(QString()), url);
        QCOMPARE(tab.problem.isEmpty(), tab.found());
    }

    // Several browsers' folders: the newest session file of any profile that shows the page, the
    // older "Current Session" layout, Opera's profile-less folder; an oversized file and a FIFO are
    // not read (and do not block), read on the worker thread.
    void profilesOfSeveralBrowsers() {
        QTemporaryDir root;
        const QString chromium = root.path() + u"/chromium"_s;
        const QString brave = root.path() + u"/BraveSoftware/Brave-Browser"_s;
        const QString opera = root.path() + u"/opera"_s;
        const QString empty = root.path() + u"/vivaldi"_s;
        QDir().mkpath(empty);
        write(chromium + u"/Default/Sessions/Session_13350000000000000"_s,
              header() + navigation(1, 0, "https://old.example/", u"Shared"_s), 300);
        write(chromium + u"/Profile 1/Sessions/Session_13350000000000001"_s,
              header() + navigation(1, 0, "https://work.example/", u"Work"_s), 200);
        write(brave + u"/Default/Sessions/Session_13350000000000002"_s,
              header() + navigation(1, 0, "https://new.example/", u"Shared"_s), 10);
        write(opera + u"/Current Session"_s,
              header(1) + navigation(5, 0, "https://opera.example/", u"Opera page"_s), 100);
        const QStringList folders{chromium, brave, opera, empty};

        const auto ask = [&folders](const QString& title) {
            ChromiumSessionFile source(folders);
            TaskOutcome<BrowserTab> outcome = awaitTask(source.activeTab(onHeap(title)));
            return outcome.value.value_or(BrowserTab::failure(u"time-out"_s));
        };
        QCOMPARE(ask(u"Shared - Brave"_s).url, u"https://new.example/"_s);
        QCOMPARE(ask(u"Work - Chromium"_s).url, u"https://work.example/"_s);
        QCOMPARE(ask(u"Opera page - Opera"_s).url, u"https://opera.example/"_s);
        QCOMPARE(ask(QString()).url, u"https://new.example/"_s); // the browser used last
        QVERIFY(!ask(u"Elsewhere - Chromium"_s).found());

        // The newest file too large, a FIFO beside it: the older files still answer.
        QFile big(brave + u"/Default/Sessions/Session_13350000000000003"_s);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.write(header()) == 8 && big.resize(ChromiumSessionFile::maxFileBytes + 1));
        big.close();
        QVERIFY(mkfifo(QFile::encodeName(chromium + u"/Default/Current Session"_s).constData(), 0600) == 0);
        QCOMPARE(ask(u"Work - Chromium"_s).url, u"https://work.example/"_s);
        const BrowserTab none = ask(QString());
        QVERIFY(!none.found());
        QVERIFY2(none.problem.contains(u"could not be read"_s), qPrintable(none.problem));

        QTemporaryDir nothing;
        const BrowserTab missing =
            *awaitTask(ChromiumSessionFile({nothing.path()}).activeTab(onHeap(u"Docs"))).value;
        QVERIFY(!missing.found());
        QVERIFY(!missing.problem.isEmpty());
    }

    // A live answer (a DevTools port is open) comes first; without one, the session file answers.
    void liveAnswerFirst() {
        QTemporaryDir root;
        write(root.path() + u"/chromium/Default/Sessions/Session_1"_s,
              header() + navigation(1, 0, "https://saved.example/", u"Page"_s), 5);
        ChromiumSessionFile open(
            {root.path() + u"/chromium"_s},
            std::make_unique<FixedSource>(BrowserTab{u"https://live.example/"_s, u"Page"_s, {}}));
        QCOMPARE(awaitTask(open.activeTab(onHeap(u"Page - Chromium"))).value->url,
                 u"https://live.example/"_s);
        ChromiumSessionFile closed({root.path() + u"/chromium"_s},
                                   std::make_unique<FixedSource>(BrowserTab::failure(u"no port"_s)));
        QCOMPARE(awaitTask(closed.activeTab(onHeap(u"Page - Chromium"))).value->url,
                 u"https://saved.example/"_s);
    }
};

PENDLOW_TEST_MAIN(ChromiumSessionFileTest)
#include "tst_ChromiumSessionFile.moc"
