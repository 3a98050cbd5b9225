#include "views/main/SplitCompressionSourceRow.h"

#include "core/base/FileNameHelper.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/WorkbenchTexts.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QToolButton>

namespace {

ElidedLabel* elided(const QString& text, Theme::TextStyle style, QFont::Weight weight, Theme::Colour colour) {
    auto* label = new ElidedLabel(text);
    label->setFont(Theme::font(style, weight));
    label->setColor(Theme::color(colour));
    return label;
}

}  // namespace

SplitCompressionSourceRow::SplitCompressionSourceRow(const SplitCompressionSourceItem& item, QWidget* parent)
    : QWidget(parent), m_item(item) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 9, 12, 9);
    layout->setSpacing(12);

    auto* icon =
        item.isDirectory
            ? Labels::icon(QStringLiteral("folder-filled"), 18, Theme::color(Theme::Colour::accent))
            : Labels::icon(QStringLiteral("document-filled"), 18, Theme::color(Theme::Colour::secondary));
    auto* iconCell = new QWidget;
    iconCell->setFixedWidth(24);
    auto* iconLayout = new QHBoxLayout(iconCell);
    iconLayout->setContentsMargins(0, 0, 0, 0);
    iconLayout->addWidget(icon, 0, Qt::AlignCenter);
    layout->addWidget(iconCell);

    // Name and folder share the free width equally; long ones are cut in the middle.
    layout->addWidget(elided(FileNameHelper::shownName(item.url), Theme::TextStyle::callout, QFont::DemiBold,
                             Theme::Colour::primary),
                      1);
    layout->addWidget(elided(FileNameHelper::shownText(QFileInfo(item.url).path()), Theme::TextStyle::caption,
                             QFont::Normal, Theme::Colour::secondary),
                      1);

    auto* size = Labels::make(WorkbenchTexts::sizeText(item.sizeBytes), Theme::TextStyle::body);
    size->setFixedWidth(120);
    layout->addWidget(size);

    // An unreadable source stays listed; its type in orange says why the run will refuse it.
    m_type = Labels::make(item.typeDescription(), Theme::TextStyle::body,
                          item.isReadable ? Theme::Colour::secondary : Theme::Colour::orange);
    m_type->setFixedWidth(90);
    layout->addWidget(m_type);

    m_remove = new QToolButton;
    m_remove->setAutoRaise(true);
    m_remove->setIcon(
        Icons::icon(QStringLiteral("cross-circle-filled"), Theme::color(Theme::Colour::secondary)));
    m_remove->setIconSize(QSize(16, 16));
    m_remove->setFixedWidth(36);
    m_remove->setCursor(Qt::PointingHandCursor);
    layout->addWidget(m_remove);
    connect(m_remove, &QToolButton::clicked, this, [this] { Q_EMIT removeRequested(m_item); });
}
