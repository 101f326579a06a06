#include "services/dayplan/DraggableTask.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>

using namespace Qt::StringLiterals;

QByteArray DraggableTask::toJson() const {
    QJsonObject json;
    json.insert(u"taskId"_s, taskId);
    json.insert(u"taskName"_s, taskName);
    json.insert(u"clientName"_s, clientName);
    json.insert(u"duration"_s, duration);
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

DraggableTask DraggableTask::fromJson(const JsonReader& json) {
    DraggableTask task;
    task.taskId = json["taskId"_L1].string();
    task.taskName = json["taskName"_L1].string();
    task.clientName = json["clientName"_L1].string();
    task.duration = json["duration"_L1].number();
    return task;
}

QMimeData* DraggableTask::toMimeData() const {
    auto* data = new QMimeData;
    data->setData(mimeType, toJson());
    return data;
}

std::optional<DraggableTask> DraggableTask::fromMimeData(const QMimeData& data) {
    if (!data.hasFormat(mimeType)) {
        return std::nullopt;
    }
    try {
        return decodeJson<DraggableTask>(data.data(mimeType));
    } catch (const DecodingError&) {
        return std::nullopt;
    }
}
