#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

// One way of putting the application's item into the desktop's tray. TrayIcon picks the backend
// (StatusNotifierItem over D-Bus, or XEmbedTrayIcon) and hands it the icon, label and tooltip.
// GUI thread only.
class TrayBackend : public QObject {
    Q_OBJECT

public:
    enum class Kind { statusNotifierItem, xembed };

    using QObject::QObject;

    virtual Kind kind() const = 0;

    // The icon in one or more sizes (square ARGB images); the tray picks the size it draws. Callers
    // that animate the icon pass the same few image objects again and again; backends recognise them
    // by iconKey() and neither convert nor send an icon that is already shown.
    virtual void setIcon(const QList<QImage>& images) = 0;

    // The identity of an icon: the cache keys of its images (equal for copies of the same images).
    static QList<qint64> iconKey(const QList<QImage>& images) {
        QList<qint64> key;
        key.reserve(images.size());
        for (const QImage& image : images) {
            key.append(image.cacheKey());
        }
        return key;
    }
    // Text shown beside the icon where the tray can show text; guide is the longest text the label
    // is expected to take (trays reserve its width). Trays without text ignore both.
    virtual void setLabel(const QString& label, const QString& guide) = 0;
    virtual void setToolTip(const QString& text) = 0;

    // Puts the item into the tray, now or as soon as a tray is there.
    virtual void show() = 0;
    // The item is in a tray (shown by a tray host, or registered with one).
    virtual bool isShown() const = 0;
    // Where the icon is on screen, when the tray tells; empty otherwise.
    virtual QRect geometry() const { return {}; }

Q_SIGNALS:
    // The user clicked the item. point: where, in screen coordinates, when the tray says; (0, 0)
    // when it does not.
    void activated(QPoint point);
    void shownChanged(bool shown);
};
