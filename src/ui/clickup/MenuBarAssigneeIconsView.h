#pragma once

#include "services/clickup/ClickUpAssignee.h"

#include <QList>
#include <QWidget>

class AvatarImageCache;

// The avatars of a task's assignees, overlapping by 3 pixels: the first three, then "+" and the
// number of the others when there are more than three.
class MenuBarAssigneeIconsView : public QWidget {
    Q_OBJECT

public:
    static constexpr int shownAvatars = 3;
    static constexpr int overlap = 3;

    MenuBarAssigneeIconsView(const QList<ClickUpAssignee>& assignees, int size, AvatarImageCache& pictures,
                             QWidget* parent = nullptr);

    // "+N", or empty when all are shown.
    QString moreText() const { return m_moreText; }

private:
    QString m_moreText;
};
