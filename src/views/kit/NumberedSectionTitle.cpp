#include "views/kit/NumberedSectionTitle.h"

#include "views/kit/Labels.h"

#include <QHBoxLayout>
#include <QPainter>

namespace {

// The number centred in a filled accent circle.
class NumberDisc : public QWidget {
public:
    NumberDisc(int number, QWidget* parent) : QWidget(parent), m_text(QString::number(number)) {
        setFixedSize(20, 20);
        setFont(Theme::font(Theme::TextStyle::caption, QFont::Bold));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::color(Theme::Colour::accent));
        painter.drawEllipse(rect());
        painter.setPen(Theme::color(Theme::Colour::white));
        painter.drawText(rect(), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};

}  // namespace

NumberedSectionTitle::NumberedSectionTitle(int number, const QString& title, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(9);
    layout->addWidget(new NumberDisc(number, this), 0, Qt::AlignVCenter);
    layout->addWidget(Labels::make(title, Theme::TextStyle::headline, QFont::Bold), 0, Qt::AlignVCenter);
    layout->addStretch();
}
