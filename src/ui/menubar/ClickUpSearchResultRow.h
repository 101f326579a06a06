#pragma once

#include "services/clickup/ClickUpSearchResult.h"
#include "ui/kit/TaskRowFrame.h"
#include "ui/menubar/TaskActions.h"

class AvatarImageCache;
class QLabel;

// One task found by the ClickUp search: for a subtask a turn-down arrow (and 16 pixels more
// indent, on a faint fill that stays), the status dot, the task name (40 characters at most: a
// longer one is cut to 37 and "...", the whole name as tooltip) above its list name and assignee
// avatars (their pictures from the given cache), and the first 8 characters of its id. Its context
// menu starts a timer on the task.
class ClickUpSearchResultRow : public TaskRowFrame {
    Q_OBJECT

public:
    static constexpr int nameLimit = 40;
    static constexpr int shortIdLength = 8;
    static constexpr int avatarSize = 14;

    ClickUpSearchResultRow(TaskActions actions, AvatarImageCache& pictures, const ClickUpSearchResult& result,
                           QWidget* parent = nullptr);

    const ClickUpSearchResult& result() const { return m_result; }
    bool isSubtask() const { return m_result.parent.has_value(); }

    TaskContextMenu* createContextMenu() override;

private:
    TaskActions m_actions;
    ClickUpSearchResult m_result;
};
