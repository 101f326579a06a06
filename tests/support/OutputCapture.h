#pragma once

#include <QString>

// Sends this process's standard output (or standard error) to a temporary file from construction
// until text() (or destruction), so a test can read what the code under test printed. Keep the span
// short: QtTest writes its own lines to standard output too.
class OutputCapture {
public:
    enum class Stream { standardOutput, standardError };

    explicit OutputCapture(Stream stream = Stream::standardOutput);
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    // Restores the stream and returns what was written meanwhile.
    QString text();

private:
    void restore();

    int m_streamFd;
    int m_savedFd = -1;
    int m_fileFd = -1;
    QString m_text;
};
