#include "web/WebHelperOptions.h"

#include "platform/WebHelperProcess.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {
// A scheme of our own for the callback: not one that the web view already handles itself.
bool isUsableCallbackScheme(const QString& scheme) {
    static const QRegularExpression syntax(QStringLiteral("^[a-z][a-z0-9+.-]*$"));
    static const QStringList builtIn = {
        QStringLiteral("http"),  QStringLiteral("https"),      QStringLiteral("file"),
        QStringLiteral("ftp"),   QStringLiteral("data"),       QStringLiteral("blob"),
        QStringLiteral("about"), QStringLiteral("javascript"), QStringLiteral("chrome"),
        QStringLiteral("qrc"),   QStringLiteral("ws"),         QStringLiteral("wss"),
    };
    return syntax.match(scheme).hasMatch() && !builtIn.contains(scheme);
}

std::optional<int> sizeValue(const QCommandLineParser& parser, const QString& name, int fallback,
                             int minimum) {
    if (!parser.isSet(name)) {
        return fallback;
    }
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    if (value == 0) {
        return fallback;
    }
    return std::max(value, minimum);
}
} // namespace

QString WebHelperOptions::usage() {
    return QStringLiteral(
        "usage: pendlow-web browse [--title <text>] [--width <n>] [--height <n>] [--trace] [--] <address>\n"
        "       pendlow-web sign-in --callback-scheme <scheme> [--width <n>] [--height <n>] [--trace] "
        "[--] <address>\n");
}

std::optional<WebHelperOptions> WebHelperOptions::parse(const QStringList& arguments, QString* error) {
    const auto refuse = [error](const QString& reason) -> std::optional<WebHelperOptions> {
        *error = reason;
        return std::nullopt;
    };
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {QStringLiteral("title"), QStringLiteral("Window title."), QStringLiteral("text")},
        {QStringLiteral("width"), QStringLiteral("Content width."), QStringLiteral("n")},
        {QStringLiteral("height"), QStringLiteral("Content height."), QStringLiteral("n")},
        {QStringLiteral("callback-scheme"), QStringLiteral("Scheme of the sign-in callback."),
         QStringLiteral("scheme")},
        {QStringLiteral("trace"), QStringLiteral("Report start-up events on standard output.")},
    });
    if (!parser.parse(arguments)) {
        return refuse(parser.errorText());
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        return refuse(QStringLiteral("expected a mode and an address"));
    }

    WebHelperOptions options;
    if (positional[0] == QLatin1String("browse")) {
        options.mode = Mode::browse;
    } else if (positional[0] == QLatin1String("sign-in")) {
        options.mode = Mode::signIn;
    } else {
        return refuse(QStringLiteral("unknown mode \"%1\"").arg(positional[0]));
    }

    options.url = QUrl(positional[1], QUrl::StrictMode);
    // The same rule as the tray process applies before it starts the helper.
    if (!WebHelperProcess::isWebAddress(options.url)) {
        return refuse(QStringLiteral("not an http or https address"));
    }

    const auto width = sizeValue(parser, QStringLiteral("width"), defaultWidth, minimumWidth);
    const auto height = sizeValue(parser, QStringLiteral("height"), defaultHeight, minimumHeight);
    if (!width || !height) {
        return refuse(QStringLiteral("width and height must be whole numbers"));
    }
    options.width = *width;
    options.height = *height;
    options.title = parser.value(QStringLiteral("title"));
    options.trace = parser.isSet(QStringLiteral("trace"));

    if (options.mode == Mode::signIn) {
        options.callbackScheme = parser.value(QStringLiteral("callback-scheme")).toLower();
        if (!isUsableCallbackScheme(options.callbackScheme)) {
            return refuse(QStringLiteral("sign-in needs a callback scheme of its own"));
        }
    }
    return options;
}
