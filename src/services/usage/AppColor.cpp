#include "services/usage/AppColor.h"

#include "core/AppCatalogue.h"

#include <QHash>

namespace {
// The system's named colours.
const QColor kBlue(0, 122, 255);
const QColor kYellow(255, 204, 0);
const QColor kPurple(175, 82, 222);
const QColor kCyan(50, 173, 230);
const QColor kIndigo(88, 86, 214);
const QColor kGray(142, 142, 147);
const QColor kOrange(255, 149, 0);
const QColor kRed(255, 59, 48);

const QHash<QString, QColor>& fixedColors() {
    static const QHash<QString, QColor> colors{
        {QStringLiteral("com.apple.Safari"), kBlue},
        {QStringLiteral("com.google.Chrome"), kYellow},
        {QStringLiteral("com.apple.dt.Xcode"), kBlue},
        {QStringLiteral("com.microsoft.VSCode"), kBlue},
        {QStringLiteral("com.jetbrains.PhpStorm"), kPurple},
        {QStringLiteral("com.jetbrains.WebStorm"), kCyan},
        {QStringLiteral("com.apple.mail"), kBlue},
        {QStringLiteral("com.tinyspeck.slackmacgap"), kPurple},
        {QStringLiteral("com.hnc.Discord"), kIndigo},
        {QStringLiteral("dev.warp.Warp-Stable"), kCyan},
        {QStringLiteral("com.apple.Terminal"), kGray},
        {QStringLiteral("com.apple.finder"), kBlue},
        {QStringLiteral("com.figma.Desktop"), kOrange},
        {QStringLiteral("notion.id"), kGray},
        {QStringLiteral("com.apple.Notes"), kYellow},
        {QStringLiteral("com.apple.iCal"), kRed},
    };
    return colors;
}

// FNV-1a over the UTF-16 units: unsigned, the same on every run and machine.
quint32 stableHash(const QString& text) {
    quint32 hash = 2166136261u;
    for (const QChar ch : text) {
        hash ^= ch.unicode();
        hash *= 16777619u;
    }
    return hash;
}
} // namespace

QColor appColor(const QString& appId) {
    // The colours are listed under the ids earlier versions stored; the catalogue gives an
    // application's other names, so the Linux id finds the same colour.
    for (const QString& name : AppCatalogue::namesOf(appId)) {
        const auto fixed = fixedColors().constFind(name);
        if (fixed != fixedColors().cend()) {
            return *fixed;
        }
    }
    const double hue = double(stableHash(appId) % 360u) / 360.0;
    return QColor::fromHsvF(float(hue), 0.6f, 0.8f, 1.0f);
}
