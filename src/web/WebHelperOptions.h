#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The command line of pendlow-web:
//
//   pendlow-web browse  [--title <text>] [--width <n>] [--height <n>] [--trace] [--] <address>
//   pendlow-web sign-in --callback-scheme <scheme> [--width <n>] [--height <n>] [--trace] [--] <address>
//
// The address must be an http or https address. Width and height are the content size in pixels
// (0 or absent: 900 x 700; never below 400 x 300).
struct WebHelperOptions {
    enum class Mode { browse, signIn };

    static constexpr int defaultWidth = 900;
    static constexpr int defaultHeight = 700;
    static constexpr int minimumWidth = 400;
    static constexpr int minimumHeight = 300;

    Mode mode = Mode::browse;
    QUrl url;
    QString title;
    QString callbackScheme;
    int width = defaultWidth;
    int height = defaultHeight;
    // Writes "trace <event>" lines on standard output ("loaded", "painted"), for measurements.
    bool trace = false;

    // The options of the given arguments (the first is the program); none, with the reason in
    // error, when they are refused.
    static std::optional<WebHelperOptions> parse(const QStringList& arguments, QString* error);

    static QString usage();
};
