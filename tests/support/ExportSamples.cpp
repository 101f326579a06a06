#include "support/ExportSamples.h"

#include "support/TestData.h"
#include "support/UsageSamples.h"

using namespace usagesamples;

namespace exportsamples {
namespace {
QString h(const char16_t* text) {
    return onHeap(QStringView(text));
}

AppUsageSession sample(const char16_t* app, const char16_t* name, const char16_t* from,
                       std::optional<const char16_t*> to, std::optional<const char16_t*> task,
                       const QList<WindowTitleCapture>& captures) {
    AppUsageSession result =
        session(h(app), h(name), at(h(from)), to ? std::optional<QDateTime>(at(h(*to))) : std::nullopt,
                task ? std::optional<QString>(h(*task)) : std::nullopt);
    for (const WindowTitleCapture& capture : captures) {
        result.addCapture(capture);
    }
    return result;
}
} // namespace

QDateTime now() {
    return at(QStringLiteral("12:30"));
}

DailyUsageSummary day() {
    const AppUsageSession code = sample(u"com.microsoft.VSCode", u"Code", u"08:30", u"09:40", u"86c1",
                                        {capture(h(u"main.cpp - pendlow - Visual Studio Code")),
                                         capture(h(u"main.cpp - pendlow - Visual Studio Code")),
                                         capture(h(u"notes, draft.md - pendlow - Visual Studio Code"))});
    const AppUsageSession browser =
        sample(u"org.mozilla.firefox", u"Firefox, Nightly", u"09:40", u"10:10", u"86c1",
               {capture(h(u"Pull request #12 - GitHub - Mozilla Firefox"), at(h(u"09:41")),
                        h(u"https://github.com/acme/pendlow/pull/12"))});
    const AppUsageSession quoted =
        sample(u"org.example.Say", u"Say \"Hi\"", u"10:10:00", u"10:10:59", std::nullopt, {redacted()});
    const AppUsageSession terminal =
        sample(u"org.gnome.Terminal", u"Terminal", u"10:30", u"11:00", std::nullopt,
               {capture(h(u"-rm -rf build")), capture(h(u"=cmd|' /C calc'!A0"))});
    const AppUsageSession chat = sample(u"com.tinyspeck.slackmacgap", u"Slack", u"11:50", std::nullopt,
                                        u"86c2", {capture(h(u"general | Acme - Slack"))});
    return DailyUsageSummary{
        usagesamples::day(), {terminal, code, quoted, browser, chat}, std::nullopt, std::nullopt};
}

} // namespace exportsamples
