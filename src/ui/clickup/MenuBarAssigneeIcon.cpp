#include "ui/clickup/MenuBarAssigneeIcon.h"
#include "ui/kit/PlainToolTip.h"

#include "core/Formatting.h"
#include "services/clickup/AvatarImageCache.h"
#include "ui/kit/RowStyle.h"

#include <QPainter>
#include <QPainterPath>

MenuBarAssigneeIcon::MenuBarAssigneeIcon(const ClickUpAssignee& assignee, int size,
                                         AvatarImageCache& pictures, QWidget* parent)
    : QWidget(parent)
    , m_assignee(assignee)
    , m_pictures(pictures) {
    setFixedSize(size, size);
    setToolTip(plainToolTip(assignee.username));
    setAccessibleName(assignee.username);
    if (assignee.profilePicture) {
        const QUrl url(*assignee.profilePicture, QUrl::StrictMode);
        if (AvatarImageCache::isLoadable(url)) {
            m_pictureUrl = url;
            connect(&m_pictures, &AvatarImageCache::loaded, this, [this](const QUrl& loaded) {
                if (m_pictureUrl == loaded) {
                    takePicture();
                }
            });
            takePicture();
        }
    }
}

QColor MenuBarAssigneeIcon::initialsColor() const {
    return colorFromHex(m_assignee.color.value_or(fallbackColor));
}

void MenuBarAssigneeIcon::takePicture() {
    m_picture = m_pictures.image(*m_pictureUrl);
    update();
}

void MenuBarAssigneeIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF circle = QRectF(rect());
    QPainterPath clip;
    clip.addEllipse(circle);
    painter.setClipPath(clip);

    if (m_picture) {
        // Fill the circle, keeping the picture's proportions.
        const QSizeF scaled = QSizeF(m_picture->size()).scaled(circle.size(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(circle.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled);
        painter.drawImage(target, *m_picture);
    } else {
        painter.fillRect(circle, initialsColor());
        painter.setFont(RowStyle::font(width() * 0.4, QFont::Medium));
        painter.setPen(Qt::white);
        painter.drawText(circle, Qt::AlignCenter, m_assignee.initials());
    }

    painter.setClipping(false);
    painter.setPen(QPen(windowBackgroundColor(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
}
