// The settings window's browser-address test: which source is asked about which window, what it
// says when an address is found, hidden by the privacy rules, or not found anywhere.
#include "support/TestMain.h"

#include "platform/BrowserTabSource.h"
#include "services/usage/BrowserUrlProbe.h"
#include "services/usage/PrivacyRedaction.h"
#include "support/FakeFrontAppSource.h"
#include "support/FakeTabSource.h"
#include "support/TaskAwait.h"
#include "support/TestSettings.h"

using namespace Qt::StringLiterals;

namespace {
struct Rig {
    TestSettings settings;
    PrivacyRedaction privacy{settings};
    FakeFrontAppSource front;
    FakeTabSource firefox{u"Firefox"_s, 5};
    FakeTabSource chromium{u"Chromium"_s, 5};
    BrowserUrlProbe probe{{&firefox, &chromium}, privacy, &front};

    BrowserUrlProbeResult run() {
        TaskOutcome<BrowserUrlProbeResult> outcome = awaitTask(probe.run());
        return outcome.value.value_or(BrowserUrlProbeResult{false, u"did not finish"_s});
    }
};
} // namespace

class BrowserUrlProbeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theBrowserInFrontIsAskedFirst() {
        Rig rig;
        rig.firefox.answer = BrowserTab{u"https://ff.example.org/"_s, u"F"_s, {}};
        rig.chromium.answer = BrowserTab{u"https://board.example.org/b/1"_s, u"Board"_s, {}};
        rig.front.activate(rig.front.window(u"chromium"_s, u"Chromium"_s, u"Board - Chromium"_s));
        QCOMPARE(rig.run(), (BrowserUrlProbeResult{true, u"Chromium shows https://board.example.org/b/1"_s}));
        QCOMPARE(rig.chromium.askedTitles, QStringList{u"Board - Chromium"_s});
        QVERIFY(rig.firefox.askedTitles.isEmpty());
    }

    // The settings window is in front (our own windows are not reported): each browser is asked
    // about its own front window until one answers.
    void noBrowserInFront() {
        Rig rig;
        rig.firefox.answer = BrowserTab::failure(u"No Firefox profile found"_s);
        rig.chromium.answer = BrowserTab{u"https://login.example.com/cb?code=1"_s, u"Sign in"_s, {}};
        const BrowserUrlProbeResult found = rig.run();
        QCOMPARE(rig.firefox.askedTitles, QStringList{QString()});
        QCOMPARE(rig.chromium.askedTitles, QStringList{QString()});
        QCOMPARE(found,
                 (BrowserUrlProbeResult{
                     true, u"Chromium shows login.example.com (the rest is hidden by the privacy rules)"_s}));
    }

    void nothingFound() {
        Rig rig;
        rig.firefox.answer = BrowserTab::failure(u"No Firefox profile found"_s);
        rig.chromium.answer = BrowserTab::failure(u"no port"_s);
        QCOMPARE(
            rig.run(),
            (BrowserUrlProbeResult{
                false, u"No browser address found. Firefox: No Firefox profile found. Chromium: no port. "_s +
                           BrowserUrlProbe::whichBrowsersGiveAddresses()}));
        BrowserUrlProbe none({}, rig.privacy);
        QCOMPARE(awaitTask(none.run()).value->success, false);
    }
};

PENDLOW_TEST_MAIN(BrowserUrlProbeTest)
#include "tst_BrowserUrlProbe.moc"
