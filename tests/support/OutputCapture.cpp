#include "OutputCapture.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
void flushAll() {
    std::fflush(stdout);
    std::fflush(stderr);
}
} // namespace

OutputCapture::OutputCapture(Stream stream)
    : m_streamFd(stream == Stream::standardOutput ? STDOUT_FILENO : STDERR_FILENO) {
    flushAll();
    char path[] = "/tmp/pendlow-output-XXXXXX";
    m_fileFd = mkstemp(path);
    if (m_fileFd < 0) {
        qFatal("no temporary file to capture the output in");
    }
    unlink(path);
    m_savedFd = dup(m_streamFd);
    dup2(m_fileFd, m_streamFd);
}

OutputCapture::~OutputCapture() {
    restore();
}

void OutputCapture::restore() {
    if (m_savedFd < 0) {
        return;
    }
    flushAll();
    dup2(m_savedFd, m_streamFd);
    close(m_savedFd);
    m_savedFd = -1;
    QByteArray bytes;
    lseek(m_fileFd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(m_fileFd, buffer, sizeof(buffer))) > 0) {
        bytes.append(buffer, count);
    }
    close(m_fileFd);
    m_fileFd = -1;
    m_text = QString::fromUtf8(bytes);
}

QString OutputCapture::text() {
    restore();
    return m_text;
}
