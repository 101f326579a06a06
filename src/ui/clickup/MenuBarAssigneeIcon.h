#pragma once

#include "services/clickup/ClickUpAssignee.h"

#include <QImage>
#include <QUrl>
#include <QWidget>

#include <optional>

class AvatarImageCache;

// A ClickUp user as a small round avatar of the given diameter: the profile picture, filling the
// circle, once it has been loaded; until then, or without a usable picture address, the user's
// initials in white on the user's colour ("#808080" when none). A 1-pixel ring in the window's
// background colour sets it off from its neighbours; its tooltip is the user name.
class MenuBarAssigneeIcon : public QWidget {
    Q_OBJECT

public:
    MenuBarAssigneeIcon(const ClickUpAssignee& assignee, int size, AvatarImageCache& pictures,
                        QWidget* parent = nullptr);

    const ClickUpAssignee& assignee() const { return m_assignee; }
    bool showsPicture() const { return m_picture.has_value(); }
    // The fill of the initials avatar.
    QColor initialsColor() const;

    static inline const QString fallbackColor = QStringLiteral("#808080");

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void takePicture();

    ClickUpAssignee m_assignee;
    AvatarImageCache& m_pictures;
    std::optional<QUrl> m_pictureUrl;
    std::optional<QImage> m_picture;
};
