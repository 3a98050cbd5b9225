#include "views/main/SplitExtractMetric.h"

#include "views/kit/ElidedLabel.h"
#include "views/kit/Labels.h"

#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int kWidth = 92;
constexpr double kSmallestScale = 0.82;
}  // namespace

SplitExtractMetric::SplitExtractMetric(const QString& title, const QString& value, Theme::Colour colour,
                                       QWidget* parent)
    : QWidget(parent), m_value(new ElidedLabel(value)), m_colour(colour) {
    setFixedWidth(kWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(Labels::make(title, Theme::TextStyle::caption, Theme::Colour::secondary));

    QFont font = Theme::font(Theme::TextStyle::headline, QFont::Bold);
    if (!ElidedLabel::fits(font, value, kWidth))
        font.setPixelSize(int(std::ceil(font.pixelSize() * kSmallestScale)));
    m_value->setFont(font);
    m_value->setElideMode(Qt::ElideRight);
    m_value->setColor(Theme::color(colour));
    layout->addWidget(m_value);
}

QString SplitExtractMetric::value() const { return m_value->text(); }
