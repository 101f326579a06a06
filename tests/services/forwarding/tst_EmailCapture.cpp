// The e-mail capture over a fake window list, clipboard and browser-address source: which window is
// the e-mail, the subject each client's title gives, and where the link comes from.
#include "support/LogCapture.h"
#include "support/TestMain.h"

#include "platform/BrowserUrlSource.h"
#include "platform/ClientWindowList.h"
#include "platform/ClipboardTextSource.h"
#include "services/forwarding/EmailCapture.h"

namespace {
struct FakeWindows : ClientWindowList {
    QList<ClientWindow> windows;
    QList<ClientWindow> clientWindowsByStacking() const override { return windows; }
};

struct FakeClipboard : ClipboardTextSource {
    std::optional<QString> text;
    std::optional<QString> clipboardText() const override { return text; }
};

struct FakeBrowserUrls : BrowserUrlSource {
    std::optional<QUrl> url;
    mutable QList<std::uint32_t> askedFor;
    std::optional<QUrl> currentUrl(const ClientWindow& window) const override {
        askedFor.append(window.id);
        return url;
    }
};

ClientWindow window(std::uint32_t id, const QString& wmClass, const QString& title) {
    return ClientWindow{id, wmClass.toLower(), wmClass, title};
}

ClientWindow gmailWindow(std::uint32_t id = 7) {
    return window(id, QStringLiteral("firefox"),
                  QStringLiteral("Lunch? - me@example.com - Gmail — Mozilla Firefox"));
}
} // namespace

class EmailCaptureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void subjectFromTitle_data();
    void subjectFromTitle();
    void mostRecentlyRaisedMailWindowWins();
    void link_data();
    void link();
    void clipboardContentStaysOutOfTheLog();
};

void EmailCaptureTest::subjectFromTitle_data() {
    QTest::addColumn<QString>("wmClass");
    QTest::addColumn<QString>("title");
    QTest::addColumn<std::optional<QString>>("subject");

    using S = std::optional<QString>;
    QTest::newRow("spark") << "Spark Desktop"
                           << "Budget review - Spark" << S("Budget review");
    QTest::newRow("spark suffix twice") << "Spark Desktop"
                                        << "A - Spark - B - Spark" << S("A - Spark - B");
    QTest::newRow("spark inbox") << "Spark Desktop"
                                 << "Inbox - Spark" << S("Email from Spark");
    QTest::newRow("spark itself") << "Spark Desktop"
                                  << "Spark Desktop" << S("Email from Spark");
    QTest::newRow("spark subject starting like a view")
        << "Spark Desktop"
        << "Settings - new VPN - Spark" << S("Settings - new VPN");
    QTest::newRow("other capitalisation kept") << "Spark Desktop"
                                               << "inbox - Spark" << S("inbox");
    QTest::newRow("suffix only gives empty") << "Spark Desktop"
                                             << " - Spark" << S("");
    QTest::newRow("no suffix, spaces kept") << "Spark Desktop"
                                            << "  Hello  " << S("  Hello  ");
    QTest::newRow("thunderbird") << "thunderbird"
                                 << "Re: Invoice 42 - Mozilla Thunderbird" << S("Re: Invoice 42");
    QTest::newRow("thunderbird folder view")
        << "thunderbird"
        << "Inbox - Local Folders - Thunderbird" << S("Email from Thunderbird");
    QTest::newRow("evolution main window") << "Evolution"
                                           << "Mail - Evolution" << S("Email from Evolution");
    QTest::newRow("evolution message window") << "Evolution"
                                              << "Contract draft" << S("Contract draft");
    QTest::newRow("geary") << "Geary"
                           << "Lunch? — Geary" << S("Lunch?");
    QTest::newRow("gmail in firefox") << "firefox"
                                      << "Lunch? - me@example.com - Gmail — Mozilla Firefox" << S("Lunch?");
    QTest::newRow("gmail inbox with count")
        << "Google-chrome"
        << "Inbox (3) - me@example.com - Gmail - Google Chrome" << S("Email from Gmail");
    QTest::newRow("outlook on the web") << "Chromium"
                                        << "Mail - Jane Doe - Outlook - Chromium" << S("Email from Outlook");
    QTest::newRow("proton mail") << "firefox"
                                 << "Offer | Proton Mail — Mozilla Firefox" << S("Offer");
    QTest::newRow("browser without webmail") << "firefox"
                                             << "Qt docs — Mozilla Firefox" << S();
    QTest::newRow("terminal") << "XTerm"
                              << "mail - Spark" << S();
    QTest::newRow("empty title") << "thunderbird"
                                 << "" << S();
}

void EmailCaptureTest::subjectFromTitle() {
    QFETCH(QString, wmClass);
    QFETCH(QString, title);
    QFETCH(std::optional<QString>, subject);
    FakeWindows windows;
    windows.windows = {window(1, wmClass, title)};
    FakeClipboard clipboard;
    EmailCapture capture(windows, clipboard);

    QCOMPARE(capture.getEmailSubject(), subject);
}

void EmailCaptureTest::mostRecentlyRaisedMailWindowWins() {
    FakeWindows windows;
    windows.windows = {window(1, QStringLiteral("thunderbird"), QStringLiteral("Old - Mozilla Thunderbird")),
                       gmailWindow(2), window(3, QStringLiteral("XTerm"), QStringLiteral("bash")),
                       window(4, QStringLiteral("firefox"), QStringLiteral("News — Mozilla Firefox"))};
    FakeClipboard clipboard;
    EmailCapture capture(windows, clipboard);
    QCOMPARE(capture.findMailWindow()->window.id, 2u);
    QCOMPARE(capture.getEmailSubject(), std::optional<QString>(QStringLiteral("Lunch?")));

    windows.windows.move(0, 3); // Thunderbird raised last
    QCOMPARE(capture.getEmailSubject(), std::optional<QString>(QStringLiteral("Old")));

    windows.windows.clear();
    QCOMPARE(capture.getEmailSubject(), std::optional<QString>());
}

void EmailCaptureTest::link_data() {
    QTest::addColumn<bool>("webmail");
    QTest::addColumn<bool>("withBrowserSource");
    QTest::addColumn<std::optional<QUrl>>("browserUrl");
    QTest::addColumn<std::optional<QString>>("clipboard");
    QTest::addColumn<std::optional<QString>>("link");

    using S = std::optional<QString>;
    using U = std::optional<QUrl>;
    const QString copied = QStringLiteral("https://mail.example.com/share/abc");
    const U shown = QUrl(QStringLiteral("https://mail.google.com/mail/u/0/#inbox/FMfcg123"));
    QTest::newRow("copied link") << false << false << U() << S(copied) << S(copied);
    QTest::newRow("copied with whitespace") << false << false << U() << S(" \t" + copied + "\n") << S(copied);
    QTest::newRow("plain http") << false << false << U() << S("http://intranet.example/m/1")
                                << S("http://intranet.example/m/1");
    QTest::newRow("mailto") << false << false << U() << S("mailto:jane@example.com") << S();
    QTest::newRow("text starting with http") << false << false << U() << S("http is a protocol") << S();
    QTest::newRow("no host") << false << false << U() << S("https://") << S();
    QTest::newRow("empty clipboard") << false << false << U() << S("") << S();
    QTest::newRow("no text on clipboard") << false << false << U() << S() << S();
    QTest::newRow("webmail: the browser's address")
        << true << true << shown << S(copied) << S(shown->toString(QUrl::FullyEncoded));
    QTest::newRow("webmail: browser address not web")
        << true << true << U(QUrl(QStringLiteral("about:blank"))) << S(copied) << S(copied);
    QTest::newRow("webmail: no browser source") << true << false << U() << S(copied) << S(copied);
    QTest::newRow("desktop client ignores the browser") << false << true << shown << S(copied) << S(copied);
}

void EmailCaptureTest::link() {
    QFETCH(bool, webmail);
    QFETCH(bool, withBrowserSource);
    QFETCH(std::optional<QUrl>, browserUrl);
    QFETCH(std::optional<QString>, clipboard);
    QFETCH(std::optional<QString>, link);
    FakeWindows windows;
    windows.windows = {webmail ? gmailWindow(9)
                               : window(9, QStringLiteral("Geary"), QStringLiteral("Lunch? — Geary"))};
    FakeClipboard board;
    board.text = clipboard;
    FakeBrowserUrls browser;
    browser.url = browserUrl;
    EmailCapture capture(windows, board, withBrowserSource ? &browser : nullptr);

    QCOMPARE(capture.getEmailLink(), link);
    if (webmail && withBrowserSource) {
        QCOMPARE(browser.askedFor, QList<std::uint32_t>{9});
    } else {
        QVERIFY(browser.askedFor.isEmpty());
    }
    QCOMPARE(board.text, clipboard); // read, never changed
}

void EmailCaptureTest::clipboardContentStaysOutOfTheLog() {
    FakeWindows windows;
    windows.windows = {gmailWindow()};
    FakeClipboard clipboard;
    clipboard.text = QStringLiteral("password: hunter2-private");
    EmailCapture capture(windows, clipboard);
    LogCapture log(LogCapture::Verbosity::debug);

    QCOMPARE(capture.getEmailLink(), std::optional<QString>());
    QVERIFY(!log.lines().isEmpty());
    QVERIFY(!log.lines().join(u'\n').contains(QStringLiteral("hunter2")));
}

PENDLOW_TEST_MAIN(EmailCaptureTest)
#include "tst_EmailCapture.moc"
