#include "services/clickup/ClickUpAPIService.h"

#include "services/clickup/ClickUpEndpoints.h"
#include "services/clickup/ClickUpSender.h"

ClickUpAPIService::ClickUpAPIService(SecretStore& keychain, QUrl baseUrl, QObject* parent)
    : QObject(parent)
    , m_sender(std::make_unique<ClickUpSender>(keychain, std::move(baseUrl)))
    , m_endpoints(std::make_unique<ClickUpEndpoints>(*m_sender))
    , m_search(*m_sender) {}

ClickUpAPIService::~ClickUpAPIService() {
    // Requests still under way end now, while every part of the client is there for the calls that
    // await them to finish.
    m_sender->abortPending();
}

QCoro::Task<std::optional<ActiveTimer>> ClickUpAPIService::getCurrentTimer(QString teamId) {
    return m_endpoints->getCurrentTimer(std::move(teamId));
}

QCoro::Task<std::optional<ActiveTimer>> ClickUpAPIService::startTimer(QString teamId, QString taskId) {
    return m_endpoints->startTimer(std::move(teamId), std::move(taskId));
}

QCoro::Task<> ClickUpAPIService::stopTimer(QString teamId) {
    return m_endpoints->stopTimer(std::move(teamId));
}

QCoro::Task<QList<TimeEntry>> ClickUpAPIService::getTimeEntries(QString teamId, QDateTime startDate) {
    return m_endpoints->getTimeEntries(std::move(teamId), std::move(startDate));
}

QCoro::Task<TimeEntry> ClickUpAPIService::createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                                          QDateTime endDate,
                                                          std::optional<QString> description) {
    return m_endpoints->createTimeEntry(std::move(teamId), std::move(taskId), std::move(startDate),
                                        std::move(endDate), std::move(description));
}

QCoro::Task<TimeEntry> ClickUpAPIService::updateTimeEntry(QString teamId, QString timeEntryId,
                                                          QDateTime startDate, QDateTime endDate) {
    return m_endpoints->updateTimeEntry(std::move(teamId), std::move(timeEntryId), std::move(startDate),
                                        std::move(endDate));
}

QCoro::Task<> ClickUpAPIService::deleteTimeEntry(QString teamId, QString timeEntryId) {
    return m_endpoints->deleteTimeEntry(std::move(teamId), std::move(timeEntryId));
}

QCoro::Task<QList<ClickUpSearchResult>> ClickUpAPIService::searchTasks(QString teamId, QString query,
                                                                       int limit) {
    return m_search.searchTasks(std::move(teamId), std::move(query), limit);
}

QUrl ClickUpAPIService::baseUrl() const {
    return m_sender->baseUrl();
}

std::chrono::milliseconds ClickUpAPIService::transferTimeout() const {
    return m_sender->limits().inactivity;
}

void ClickUpAPIService::setTransferTimeout(std::chrono::milliseconds timeout) {
    RequestLimits limits = m_sender->limits();
    limits.inactivity = timeout;
    m_sender->setLimits(limits);
}

const RequestLimits& ClickUpAPIService::requestLimits() const {
    return m_sender->limits();
}

void ClickUpAPIService::setRequestLimits(const RequestLimits& limits) {
    m_sender->setLimits(limits);
}
