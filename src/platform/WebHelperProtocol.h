#pragma once

#include <QByteArray>

// What pendlow-web and the tray process agree on: the lines the helper writes on its standard
// output and its exit codes.
namespace WebHelperProtocol {
// The helper's window is on screen.
inline constexpr QByteArrayView shownLine = "shown";
// Sign-in: followed by a space and the full callback address (query included), then the helper ends
// with exitCallback.
inline constexpr QByteArrayView callbackPrefix = "callback ";
// With --trace: followed by a space and the event's name.
inline constexpr QByteArrayView tracePrefix = "trace ";

// Sign-in: the callback was written. Browse: the window was closed or the helper was told to end.
inline constexpr int exitCallback = 0;
inline constexpr int exitClosed = 0;
// Sign-in: the user closed the window (or the helper was told to end) before any callback.
inline constexpr int exitCancelled = 2;
// The command line was refused.
inline constexpr int exitUsage = 64;
} // namespace WebHelperProtocol
