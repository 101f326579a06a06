#include "ui/clickup/MenuBarAssigneeIconsView.h"

#include "ui/clickup/MenuBarAssigneeIcon.h"
#include "ui/kit/RowStyle.h"

#include <QLabel>

MenuBarAssigneeIconsView::MenuBarAssigneeIconsView(const QList<ClickUpAssignee>& assignees, int size,
                                                   AvatarImageCache& pictures, QWidget* parent)
    : QWidget(parent) {
    // Laid out by hand: each avatar starts 3 pixels before the previous one ends and lies on top
    // of it.
    const int step = size - overlap;
    int right = 0;
    QList<QWidget*> icons;
    for (qsizetype i = 0; i < std::min<qsizetype>(assignees.size(), shownAvatars); ++i) {
        icons.append(new MenuBarAssigneeIcon(assignees[i], size, pictures, this));
        right = int(i) * step + size;
    }
    int height = size;
    if (assignees.size() > shownAvatars) {
        m_moreText = u'+' + QString::number(assignees.size() - shownAvatars);
        auto* more = new QLabel(m_moreText, this);
        more->setObjectName(QStringLiteral("moreAssignees"));
        more->setFont(RowStyle::font(size * 0.5));
        RowStyle::setTextColor(more, RowStyle::secondaryColor(palette()));
        more->adjustSize();
        height = std::max(height, more->height());
        more->move(right + 2 - overlap, (height - more->height()) / 2);
        right += 2 - overlap + more->width();
    }
    for (qsizetype i = 0; i < icons.size(); ++i) {
        icons[i]->move(int(i) * step, (height - size) / 2);
    }
    setFixedSize(right, height);
}
