#pragma once

#include <QJsonObject>
#include <QString>

// Body of the timer start: {"tid": "<task id>"}.
struct StartTimerRequest {
    QString tid;

    QJsonObject toJson() const;
};
