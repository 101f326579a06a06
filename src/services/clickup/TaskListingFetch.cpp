#include "services/clickup/TaskListingFetch.h"

TaskListingFetch::TaskListingFetch(const QList<QNetworkReply*>& replies, PageReader reader, QObject* parent)
    : QObject(parent)
    , m_pages(replies.size())
    , m_reader(std::move(reader)) {
    for (int page = 0; page < replies.size(); ++page) {
        m_replies.append(replies[page]);
        connect(replies[page], &QNetworkReply::finished, this, [this, page] { pageFinished(page); });
    }
    if (replies.isEmpty()) {
        settle();
    }
}

TaskListingFetch::~TaskListingFetch() {
    releaseReplies();
}

QList<ClickUpSearchTaskResponse> TaskListingFetch::tasks() const {
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
    QList<ClickUpSearchTaskResponse> all;
    for (int page = 0; page < m_listedPages; ++page) {
        all.append(*m_pages[page]);
    }
    return all;
}

void TaskListingFetch::pageFinished(int page) {
    if (m_settled) {
        return;
    }
    try {
        m_pages[page] = m_reader(page, *m_replies[page]);
    } catch (...) {
        m_failure = std::current_exception();
        settle();
        return;
    }
    // The leading run of pages that are in and not empty.
    int listed = 0;
    while (listed < m_pages.size() && m_pages[listed] && !m_pages[listed]->isEmpty()) {
        ++listed;
    }
    const bool allIn = listed == m_pages.size();
    const bool endsAtEmptyPage = !allIn && m_pages[listed].has_value();
    if (allIn || endsAtEmptyPage) {
        m_listedPages = listed;
        m_pagesRead = allIn ? listed : listed + 1;
        settle();
    }
}

void TaskListingFetch::settle() {
    m_settled = true;
    releaseReplies();
    Q_EMIT settled();
}

void TaskListingFetch::releaseReplies() {
    for (const QPointer<QNetworkReply>& reply : std::as_const(m_replies)) {
        if (!reply) {
            continue;
        }
        disconnect(reply, nullptr, this, nullptr);
        if (!reply->isFinished()) {
            reply->abort();
        }
        reply->deleteLater();
    }
    m_replies.clear();
}
