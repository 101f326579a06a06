#include "ui/menubar/ClickUpSearchResultRow.h"
#include "ui/kit/PlainToolTip.h"

#include "core/CharacterTruncation.h"
#include "ui/clickup/MenuBarAssigneeIconsView.h"
#include "ui/clickup/StatusBadge.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/kit/RowStyle.h"
#include "ui/kit/TagLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int subtaskIndent = 16;
}

ClickUpSearchResultRow::ClickUpSearchResultRow(TaskActions actions, AvatarImageCache& pictures,
                                               const ClickUpSearchResult& result, QWidget* parent)
    : TaskRowFrame(parent)
    , m_actions(std::move(actions))
    , m_result(result) {
    setObjectName(QStringLiteral("clickUpSearchResultRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8 + (isSubtask() ? subtaskIndent : 0), 4, 8, 4);
    layout->setSpacing(6);

    if (isSubtask()) {
        auto* arrow = new QLabel(this);
        arrow->setObjectName(QStringLiteral("subtaskArrow"));
        arrow->setPixmap(
            RowStyle::glyph(RowStyle::subtaskGlyph, 9, RowStyle::secondaryColor(palette()), this));
        arrow->setFixedWidth(12);
        arrow->setAlignment(Qt::AlignCenter);
        layout->addWidget(arrow);
        setFixedFill(RowStyle::withOpacity(RowStyle::secondaryColor(palette()), 0.05));
    }
    layout->addWidget(new StatusBadge(result.status, this));

    auto* text = new QVBoxLayout;
    text->setContentsMargins(0, 0, 0, 0);
    text->setSpacing(1);
    auto* name = new ElidedLabel(truncatedToCharacters(result.name, nameLimit), this);
    name->setObjectName(QStringLiteral("taskName"));
    name->setTextFormat(Qt::PlainText);
    name->setFont(RowStyle::font(11));
    name->setToolTip(plainToolTip(result.name));
    text->addWidget(name);

    auto* details = new QHBoxLayout;
    details->setContentsMargins(0, 0, 0, 0);
    details->setSpacing(4);
    auto* list = new ElidedLabel(result.listName, this);
    list->setObjectName(QStringLiteral("listName"));
    list->setTextFormat(Qt::PlainText);
    list->setFont(RowStyle::font(9));
    RowStyle::setTextColor(list, RowStyle::tertiaryColor(palette()));
    details->addWidget(list);
    if (!result.assignees.isEmpty()) {
        auto* assignees = new MenuBarAssigneeIconsView(result.assignees, avatarSize, pictures, this);
        assignees->setObjectName(QStringLiteral("assignees"));
        details->addWidget(assignees);
    }
    details->addStretch(1);
    text->addLayout(details);
    layout->addLayout(text, 1);

    auto* shortId =
        new TagLabel(firstCharacters(result.id, shortIdLength), 9, QMargins(4, 2, 4, 2), 0.1, 3, this);
    shortId->setObjectName(QStringLiteral("shortId"));
    layout->addWidget(shortId);
}

TaskContextMenu* ClickUpSearchResultRow::createContextMenu() {
    return m_actions.contextMenu(m_result.id, m_result.taskUrl);
}
