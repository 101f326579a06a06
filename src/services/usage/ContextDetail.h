#pragma once

#include <QString>
#include <QUuid>

// One context of one application (a page, a file, an e-mail) with its share of the time.
struct ContextDetail {
    QUuid id;
    QString context;
    double duration = 0; // seconds
    int captureCount = 0;

    QString formattedDuration() const;
};
