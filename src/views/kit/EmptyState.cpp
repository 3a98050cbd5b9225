#include "views/kit/EmptyState.h"

#include "views/kit/Labels.h"

#include <QVBoxLayout>

EmptyState::EmptyState(const QString& title, const QString& iconName, QWidget* parent) : QWidget(parent) {
    setMinimumHeight(120);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addStretch();
    layout->addWidget(Labels::icon(iconName, 30, Theme::color(Theme::Colour::secondary)), 0,
                      Qt::AlignHCenter);
    layout->addWidget(Labels::make(title, Theme::TextStyle::body, Theme::Colour::secondary), 0,
                      Qt::AlignHCenter);
    layout->addStretch();
}
