#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <optional>

class JsonReader;
class QMimeData;

// What travels from a task row to the day timeline in a drag: a JSON object with exactly the keys
// "taskId", "taskName", "clientName" and "duration" (seconds, a number), under the MIME format
// mimeType and no other.
struct DraggableTask {
    static inline const QString mimeType = QStringLiteral("com.brisvane.Pendlow.draggableTask");

    QString taskId;
    QString taskName;
    QString clientName;
    double duration = 0; // seconds

    QByteArray toJson() const;
    // All four keys required with their types; unknown keys ignored. Throws DecodingError.
    static DraggableTask fromJson(const JsonReader& json);

    // A drag's data holding the payload in its one format.
    QMimeData* toMimeData() const;
    // The payload of a drag's data; none when it lacks the format or its JSON does not decode.
    static std::optional<DraggableTask> fromMimeData(const QMimeData& data);

    bool operator==(const DraggableTask&) const = default;
};

Q_DECLARE_METATYPE(DraggableTask)
