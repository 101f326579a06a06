#pragma once

#include <QString>

// The desktop clipboard (the CLIPBOARD selection) as the export dialog writes it. Tests put a
// subclass in its place to see what is written or to make writing fail.
class ExportClipboard {
public:
    virtual ~ExportClipboard() = default;

    // Replaces the clipboard's content with the plain text. True only when the clipboard then holds
    // exactly that text: on X11 this means the application owns the selection with it, so a paste
    // anywhere gets the text.
    virtual bool putText(const QString& text);
};
