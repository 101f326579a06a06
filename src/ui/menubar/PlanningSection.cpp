#include "ui/menubar/PlanningSection.h"

#include "core/CharacterTruncation.h"
#include "services/clickup/SearchState.h"
#include "services/tools/PlanningState.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/kit/RowStyle.h"
#include "ui/kit/SectionLayout.h"
#include "ui/kit/SectionMessage.h"
#include "ui/menubar/ClickUpSearchSection.h"
#include "ui/menubar/WeekPlanView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int messageIndent = 8;
} // namespace

PlanningSection::PlanningSection(PlanningState& planning, const SearchState& search,
                                 AvatarImageCache& pictures, TaskActions actions, QWidget* parent)
    : QWidget(parent)
    , m_planning(planning)
    , m_search(search)
    , m_pictures(pictures)
    , m_actions(std::move(actions))
    , m_spinnerSlot(new QHBoxLayout)
    , m_body(new QVBoxLayout) {
    setObjectName(QStringLiteral("planningSection"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("Planning"), this);
    title->setObjectName(QStringLiteral("planningTitle"));
    title->setFont(RowStyle::font(12, QFont::DemiBold));
    header->addWidget(title);
    header->addStretch(1);
    m_spinnerSlot->setContentsMargins(0, 0, 0, 0);
    header->addLayout(m_spinnerSlot);
    layout->addLayout(header);

    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(4);
    layout->addLayout(m_body);

    connect(&m_planning, &PlanningState::weekPlansChanged, this, &PlanningSection::redraw);
    connect(&m_planning, &PlanningState::isLoadingChanged, this, &PlanningSection::redraw);
    connect(&m_planning, &PlanningState::errorChanged, this, &PlanningSection::redraw);
    connect(&m_planning, &PlanningState::expandedWeeksChanged, this, &PlanningSection::redraw);
    connect(&m_search, &SearchState::searchTextChanged, this, &PlanningSection::redraw);
    redraw();
}

void PlanningSection::setToolsConfigured(bool configured) {
    m_isToolsConfigured = configured;
    redraw();
}

ClickUpSearchSection* PlanningSection::searchSection() const {
    return m_searchSection;
}

PlanningSection::Content PlanningSection::currentContent() const {
    const PlanningState& planning = m_planning;
    Content content;
    content.isToolsConfigured = m_isToolsConfigured;
    content.hasPlans = !planning.weekPlans().isEmpty();
    content.searchText = m_search.searchText();
    content.filteredPlans = planning.filteredWeekPlans(content.searchText);
    // Loading matters only while there is nothing to show: a refresh leaves shown weeks alone.
    content.isLoading = planning.isLoading() && content.filteredPlans.isEmpty();
    content.expandedWeeks = planning.expandedWeeks();
    content.collapsedClients = m_collapsedClients;
    if (planning.error()) {
        content.error = planning.error()->description();
    }
    return content;
}

void PlanningSection::toggleClient(int weekNumber, const QString& clientName) {
    const QPair<int, QString> key(weekNumber, clientName);
    if (!m_collapsedClients.remove(key)) {
        m_collapsedClients.insert(key);
    }
    redraw();
}

void PlanningSection::appendSearchSection() {
    if (!m_searchSection) {
        m_searchSection = new ClickUpSearchSection(m_search, m_pictures, m_actions, this);
    }
    m_body->addWidget(m_searchSection);
    m_searchSection->show();
}

void PlanningSection::redraw() {
    Content content = currentContent();
    if (m_shown && *m_shown == content) {
        return;
    }

    SectionLayout::clear(m_spinnerSlot);
    if (content.isLoading && !content.hasPlans) {
        m_spinnerSlot->addWidget(new ProgressIndicator(10, this));
    }

    // The search results stay the same block while they remain on screen.
    if (m_searchSection) {
        m_body->removeWidget(m_searchSection);
    }
    SectionLayout::clear(m_body);
    const bool showsSearch = characterCount(content.searchText) >= searchSectionMinimumLength;
    bool searchShown = false;
    QSet<QPair<int, QString>> clientsOnScreen;

    if (content.filteredPlans.isEmpty() && !content.isLoading) {
        if (!content.isToolsConfigured) {
            m_body->addWidget(
                new SectionMessage(SectionMessage::Kind::plain, configureHint, messageIndent, this));
        } else if (content.searchText.isEmpty()) {
            m_body->addWidget(new SectionMessage(SectionMessage::Kind::plain,
                                                 QStringLiteral("No planning tasks"), messageIndent, this));
        } else {
            m_body->addWidget(new SectionMessage(
                SectionMessage::Kind::plain,
                QStringLiteral("No local tasks match '") + content.searchText + u'\'', messageIndent, this));
            if (showsSearch) {
                m_body->addSpacing(4);
                appendSearchSection();
                searchShown = true;
            }
        }
    } else {
        for (const WeekPlan& plan : content.filteredPlans) {
            QSet<QString> collapsed;
            for (const auto& [week, client] : std::as_const(m_collapsedClients)) {
                if (week == plan.weekNumber) {
                    collapsed.insert(client);
                }
            }
            auto* view = new WeekPlanView(m_planning, m_search, m_actions, plan, collapsed, this);
            connect(view, &WeekPlanView::clientToggleRequested, this,
                    [this, week = plan.weekNumber](const QString& client) { toggleClient(week, client); });
            m_body->addWidget(view);
            for (const QString& client : view->shownClients()) {
                clientsOnScreen.insert({plan.weekNumber, client});
            }
        }
        if (showsSearch) {
            auto* divider = new QWidget(this);
            auto* dividerLayout = new QVBoxLayout(divider);
            dividerLayout->setContentsMargins(0, 4, 0, 4);
            QFrame* line = PopoverStyle::divider(divider);
            line->setObjectName(QStringLiteral("divider"));
            dividerLayout->addWidget(line);
            m_body->addWidget(divider);
            appendSearchSection();
            searchShown = true;
        }
    }
    if (!searchShown && m_searchSection) {
        // Made anew, expanded, when it comes back.
        m_searchSection->hide();
        m_searchSection->setParent(nullptr);
        m_searchSection->deleteLater();
        m_searchSection = nullptr;
    }
    if (content.error) {
        m_body->addWidget(
            new SectionMessage(SectionMessage::Kind::error, *content.error, messageIndent, this));
    }

    // A client group's closed state lasts only while the group is on screen.
    m_collapsedClients.intersect(clientsOnScreen);
    content.collapsedClients = m_collapsedClients;
    m_shown = std::move(content);
}
