#include "views/kit/ActionCard.h"

#include "views/kit/Icons.h"
#include "views/kit/Labels.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The coloured square behind the card's icon.
class Tile : public QWidget {
public:
    Tile(const QString& iconName, Theme::Colour colour, QWidget* parent)
        : QWidget(parent), m_iconName(iconName), m_colour(colour) {
        setFixedSize(54, 54);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::color(m_colour));
        painter.drawRoundedRect(rect(), 8, 8);
        constexpr int kIcon = 22;
        painter.drawPixmap((width() - kIcon) / 2, (height() - kIcon) / 2,
                           Icons::pixmap(m_iconName, kIcon, Theme::color(Theme::Colour::white)));
    }

private:
    QString m_iconName;
    Theme::Colour m_colour;
};

}  // namespace

ActionCard::ActionCard(const QString& title, const QString& subtitle, const QString& iconName,
                       Theme::Colour colour, QWidget* parent)
    : QAbstractButton(parent) {
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(14);
    row->addWidget(new Tile(iconName, colour, this));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addStretch();
    texts->addWidget(Labels::make(title, Theme::TextStyle::headline));
    texts->addWidget(Labels::make(subtitle, Theme::TextStyle::caption, Theme::Colour::secondary));
    texts->addStretch();
    row->addLayout(texts, 1);
    for (QWidget* child : findChildren<QWidget*>()) child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize ActionCard::sizeHint() const { return {220, 86}; }

void ActionCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Theme::color(Theme::Colour::black, 0.06), 1));
    painter.setBrush(isDown() ? Theme::color(Theme::Colour::windowBackground)
                              : Theme::color(Theme::Colour::controlBackground));
    painter.drawRoundedRect(frame, 8, 8);
}
