#pragma once

#include "platform/LogExcerpt.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;

// A read-only window with Pendlow's recent log lines, newest at the bottom: where they were read, the
// lines (or why none could be read), and "Reload" to read them again. Opened again, it is raised and
// read anew.
class LogWindow : public QWidget {
    Q_OBJECT

public:
    using Reader = std::function<LogExcerpt()>;

    // reader: gives the lines; RecentLogReader::read() when empty.
    explicit LogWindow(Reader reader = {}, QWidget* parent = nullptr);

    // Reads the lines again and shows them, scrolled to the newest.
    void reload();
    // Reloads, shows the window and brings it to the front.
    void present();

    // What the window shows now, for tests.
    QString sourceText() const;
    QString logText() const;

private:
    Reader m_reader;
    QLabel* m_source;
    QPlainTextEdit* m_text;
};
