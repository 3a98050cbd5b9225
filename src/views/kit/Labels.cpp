#include "views/kit/Labels.h"

#include "views/kit/Icons.h"

#include <QFrame>
#include <QPushButton>

namespace Labels {

QLabel* make(const QString& text, Theme::TextStyle style, Theme::Colour colour, QWidget* parent) {
    return make(text, style, Theme::font(style).weight(), colour, parent);
}

QLabel* make(const QString& text, Theme::TextStyle style, QFont::Weight weight, Theme::Colour colour,
             QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(Theme::font(style, weight));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::color(colour));
    label->setPalette(palette);
    // Inside a button a label would take the button's text role and lose its colour.
    label->setForegroundRole(QPalette::WindowText);
    return label;
}

QLabel* icon(const QString& name, int size, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(Icons::pixmap(name, size, color));
    label->setFixedSize(size, size);
    return label;
}

QPushButton* button(const QString& title, const QString& iconName, QWidget* parent) {
    auto* result = new QPushButton(Icons::icon(iconName, Theme::color(Theme::Colour::accent)), title, parent);
    result->setIconSize(QSize(15, 15));
    return result;
}

QFrame* divider(Qt::Orientation orientation, QWidget* parent) {
    auto* line = new QFrame(parent);
    if (orientation == Qt::Horizontal) {
        line->setFixedHeight(1);
    } else {
        line->setFixedWidth(1);
    }
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Theme::color(Theme::Colour::black, 0.1));
    line->setPalette(palette);
    return line;
}

QPushButton* prominentButton(const QString& title, const QString& iconName, QWidget* parent) {
    auto* result = new QPushButton(Icons::icon(iconName, Theme::color(Theme::Colour::white)), title, parent);
    result->setProperty("prominent", true);
    result->setIconSize(QSize(17, 17));
    result->setMinimumHeight(40);
    result->setCursor(Qt::PointingHandCursor);
    return result;
}

QPushButton* defaultButton(const QString& title, const QString& iconName, QWidget* parent) {
    auto* result = new QPushButton(title, parent);
    if (!iconName.isEmpty()) result->setIcon(Icons::icon(iconName, Theme::color(Theme::Colour::white)));
    result->setProperty("prominent", true);
    result->setProperty("regularSize", true);
    return result;
}

}  // namespace Labels
