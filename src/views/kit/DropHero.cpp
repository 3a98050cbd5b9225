#include "views/kit/DropHero.h"

#include "views/kit/ElidedLabel.h"
#include "views/kit/Labels.h"

#include <QPushButton>
#include <QVBoxLayout>

DropHero::DropHero(const QString& title, const QString& subtitle, const QString& buttonTitle,
                   DropIntake::Take take, QWidget* parent)
    : DashedFrame(parent),
      m_button(Labels::prominentButton(buttonTitle, QStringLiteral("chevron-down"), this)) {
    setMinimumHeight(300);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(18);
    column->addStretch();
    column->addWidget(
        Labels::icon(QStringLiteral("tray-arrow-down-filled"), 72, Theme::color(Theme::Colour::accent)), 0,
        Qt::AlignHCenter);
    column->addWidget(Labels::make(title, Theme::TextStyle::title, QFont::Bold), 0, Qt::AlignHCenter);
    auto* subtitleLabel = new ElidedLabel(subtitle, this);
    subtitleLabel->setFont(Theme::font(Theme::TextStyle::title3));
    subtitleLabel->setColor(Theme::color(Theme::Colour::secondary));
    subtitleLabel->setMaximumLines(2);
    subtitleLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    column->addWidget(subtitleLabel);
    m_button->setFixedWidth(220);
    column->addWidget(m_button, 0, Qt::AlignHCenter);
    column->addStretch();
    connect(m_button, &QPushButton::clicked, this, &DropHero::actionRequested);
    DropIntake::install(this, std::move(take));
}
