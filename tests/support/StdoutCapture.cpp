#include "StdoutCapture.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StdoutCapture::StdoutCapture() {
    std::fflush(stdout);
    char path[] = "/tmp/pendlow-stdout-XXXXXX";
    m_fileFd = mkstemp(path);
    if (m_fileFd < 0) {
        return;
    }
    unlink(path);
    m_savedFd = dup(STDOUT_FILENO);
    dup2(m_fileFd, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
    restore();
}

void StdoutCapture::restore() {
    if (m_savedFd < 0) {
        return;
    }
    std::fflush(stdout);
    dup2(m_savedFd, STDOUT_FILENO);
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

QString StdoutCapture::text() {
    restore();
    return m_text;
}
