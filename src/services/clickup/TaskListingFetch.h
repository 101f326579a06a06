#pragma once

#include "services/clickup/ClickUpSearchTaskResponse.h"

#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>

#include <exception>
#include <functional>
#include <optional>

// The pages of a team's task listing, requested all at once and gathered in page order, whatever
// order they come back in. The listing ends before the first page that comes back empty, but only
// once every page below it is in, so no page is ever skipped; when no page is empty it is all of them.
// The first page that fails (its reader throws) fails the whole listing. Once the outcome is known
// the requests still running are aborted and settled() is emitted. Takes the replies over.
class TaskListingFetch : public QObject {
    Q_OBJECT

public:
    // Reads one finished page; throws when the page failed.
    using PageReader = std::function<QList<ClickUpSearchTaskResponse>(int page, QNetworkReply& reply)>;

    // replies[i] is page i.
    TaskListingFetch(const QList<QNetworkReply*>& replies, PageReader reader, QObject* parent = nullptr);
    ~TaskListingFetch() override;

    bool isSettled() const { return m_settled; }
    // The tasks of the listing's pages in page order; throws the failure of a failed listing.
    QList<ClickUpSearchTaskResponse> tasks() const;
    // How many pages were read to settle the listing (the empty page that ended it included).
    int pagesRead() const { return m_pagesRead; }

Q_SIGNALS:
    void settled();

private:
    void pageFinished(int page);
    void settle();
    void releaseReplies();

    QList<QPointer<QNetworkReply>> m_replies;
    QList<std::optional<QList<ClickUpSearchTaskResponse>>> m_pages;
    PageReader m_reader;
    std::exception_ptr m_failure;
    int m_listedPages = 0; // pages 0 .. m_listedPages-1 make up the listing
    int m_pagesRead = 0;
    bool m_settled = false;
};
