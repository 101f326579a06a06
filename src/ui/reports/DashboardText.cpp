#include "ui/reports/DashboardText.h"

#include "core/CharacterTruncation.h"
#include "services/usage/UsageText.h"

using namespace Qt::StringLiterals;

namespace dashboardtext {

QString clockText(const QDateTime& moment) {
    return moment.toLocalTime().toString(u"HH:mm"_s);
}

QString blockTimeRangeText(const TimelineBlock& block) {
    return clockText(block.startTime) + u" - "_s + clockText(block.endTime);
}

QString contextDisplayText(const QString& context) {
    QString text = context;
    text.remove(u"https://"_s);
    text.remove(u"http://"_s);
    text.remove(u"www."_s);
    return truncatedToCharacters(text, 60);
}

QString pathDisplayName(const QString& path) {
    if (path.startsWith(u"~/"_s) || path.startsWith(u'/')) {
        return usagetext::lastPathComponent(path);
    }
    return path;
}

QString pathIconName(const PathUsage& path) {
    if (path.isDirectory) {
        return u"folder"_s;
    }
    const QString last = usagetext::lastPathComponent(path.path);
    const qsizetype dot = last.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : last.mid(dot + 1).toLower();
    if (extension == u"swift"_s) {
        return u"text-x-swift"_s;
    }
    if (extension == u"ts"_s || extension == u"tsx"_s || extension == u"js"_s || extension == u"jsx"_s) {
        return u"text-x-script"_s;
    }
    if (extension == u"py"_s) {
        return u"text-x-python"_s;
    }
    if (extension == u"md"_s || extension == u"txt"_s) {
        return u"text-x-generic"_s;
    }
    if (extension == u"json"_s || extension == u"xml"_s || extension == u"yaml"_s || extension == u"yml"_s) {
        return u"text-x-config"_s;
    }
    if (extension == u"png"_s || extension == u"jpg"_s || extension == u"jpeg"_s || extension == u"gif"_s ||
        extension == u"svg"_s) {
        return u"image-x-generic"_s;
    }
    return u"x-office-document"_s;
}

QString clickUpBlockName(const QString& taskName) {
    return truncatedToCharacters(taskName, 50);
}

} // namespace dashboardtext
