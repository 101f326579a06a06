#include "ui/settings/AboutTab.h"

#include "core/Formatting.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/settings/SettingsFormStyle.h"

#include <QDesktopServices>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr qreal symbolSize = 48;
constexpr qreal nameSize = 17;
} // namespace

AboutTab::AboutTab(QWidget* parent)
    : SettingsPage(parent)
    , m_urlOpener([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setObjectName(u"aboutTab"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(SettingsFormStyle::margin, SettingsFormStyle::margin,
                               SettingsFormStyle::margin, SettingsFormStyle::margin);
    layout->setSpacing(16);

    QLabel* symbol =
        PopoverStyle::symbolLabel(u"appointment-soon"_s, symbolSize, PopoverStyle::accent(palette()), this);
    symbol->setObjectName(u"aboutSymbol"_s);
    auto* name = new QLabel(u"Pendlow"_s, this);
    name->setObjectName(u"aboutName"_s);
    name->setFont(PopoverStyle::font(nameSize, QFont::Bold));
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(u"aboutVersion"_s);
    PopoverStyle::setTextColor(version, PopoverStyle::secondaryText(palette()));
    auto* text = new QLabel(tagline, this);
    text->setObjectName(u"aboutTagline"_s);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    PopoverStyle::setTextColor(text, PopoverStyle::secondaryText(palette()));
    auto* link = new QLabel(u"<a href=\"%1\">%2</a>"_s.arg(makerUrl.toString(), makerLinkText), this);
    link->setObjectName(u"aboutLink"_s);
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    connect(link, &QLabel::linkActivated, this, [this](const QString& url) {
        if (m_urlOpener) {
            m_urlOpener(QUrl(url));
        }
    });
    QLabel* credit = SettingsFormStyle::caption(creditLine, this);
    credit->setObjectName(u"aboutCredit"_s);
    PopoverStyle::setTextColor(credit, PopoverStyle::tertiaryText(palette()));

    for (QWidget* widget :
         {static_cast<QWidget*>(symbol), static_cast<QWidget*>(name), static_cast<QWidget*>(version)}) {
        layout->addWidget(widget, 0, Qt::AlignHCenter);
    }
    layout->addWidget(PopoverStyle::divider(this));
    layout->addWidget(text);
    layout->addWidget(link, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(credit, 0, Qt::AlignHCenter);
}

QString AboutTab::versionText() {
    return u"Version "_s + appVersion();
}
