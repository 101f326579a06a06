#pragma once

#include <QString>

// Sends this process's standard output to a temporary file from construction until text() (or
// destruction), so a test can read what the code under test printed. Keep the span short: QtTest
// writes its own lines to standard output too.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Restores standard output and returns what was written meanwhile.
    QString text();

private:
    void restore();

    int m_savedFd = -1;
    int m_fileFd = -1;
    QString m_text;
};
