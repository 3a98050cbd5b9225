#include "views/kit/Theme.h"

#include "views/kit/FocusRing.h"
#include "views/kit/QtTranslations.h"
#include "views/kit/WheelGuard.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace Theme {

namespace {

QColor baseColor(Colour colour) {
    switch (colour) {
        case Colour::accent:
            return QColor(0x0A, 0x7A, 0xFF);
        case Colour::blue:
            return QColor(0x00, 0x7A, 0xFF);
        case Colour::green:
            return QColor(0x28, 0xA7, 0x45);
        case Colour::orange:
            return QColor(0xF0, 0x8A, 0x00);
        case Colour::purple:
            return QColor(0xA5, 0x50, 0xD8);
        case Colour::red:
            return QColor(0xE5, 0x3B, 0x30);
        case Colour::pink:
            return QColor(0xE8, 0x3E, 0x78);
        case Colour::primary:
            return QColor(0x1D, 0x1D, 0x1F);
        case Colour::secondary:
            return QColor(0x6E, 0x6E, 0x73);
        case Colour::black:
            return QColor(0, 0, 0);
        case Colour::white:
            return QColor(0xFF, 0xFF, 0xFF);
        case Colour::windowBackground:
            return QColor(0xEC, 0xEC, 0xEE);
        case Colour::controlBackground:
            return QColor(0xFF, 0xFF, 0xFF);
        case Colour::textBackground:
            return QColor(0xFF, 0xFF, 0xFF);
    }
    return {};
}

int pixelSize(TextStyle style) {
    switch (style) {
        case TextStyle::largeTitle:
            return 26;
        case TextStyle::title:
            return 22;
        case TextStyle::title2:
            return 17;
        case TextStyle::title3:
            return 15;
        case TextStyle::headline:
            return 13;
        case TextStyle::body:
            return 13;
        case TextStyle::callout:
            return 12;
        case TextStyle::subheadline:
            return 11;
        case TextStyle::caption:
            return 10;
    }
    return 13;
}

const QString kFontFamily = QStringLiteral("Noto Sans CJK SC");

}  // namespace

QColor color(Colour colour, double opacity) {
    QColor result = baseColor(colour);
    result.setAlphaF(static_cast<float>(qBound(0.0, opacity, 1.0)));
    return result;
}

QFont font(TextStyle style) {
    return font(style, style == TextStyle::headline ? QFont::Bold : QFont::Normal);
}

QFont font(TextStyle style, QFont::Weight weight) {
    QFont result(kFontFamily);
    result.setPixelSize(pixelSize(style));
    result.setWeight(weight);
    return result;
}

Colour statusColour(ArchiveActivityStatus status) {
    switch (status) {
        case ArchiveActivityStatus::running:
            return Colour::blue;
        case ArchiveActivityStatus::paused:
            return Colour::orange;
        case ArchiveActivityStatus::completed:
            return Colour::green;
        case ArchiveActivityStatus::failed:
            return Colour::red;
        case ArchiveActivityStatus::cancelled:
            return Colour::orange;
    }
    return Colour::secondary;
}

Colour statusBarColour(ArchiveActivityStatus status) {
    return status == ArchiveActivityStatus::running ? Colour::accent : statusColour(status);
}

Colour kindColour(ArchiveActivityKind kind) {
    switch (kind) {
        case ArchiveActivityKind::extract:
            return Colour::purple;
        case ArchiveActivityKind::compress:
            return Colour::blue;
        case ArchiveActivityKind::splitExtraction:
            return Colour::accent;
        case ArchiveActivityKind::splitCompression:
            return Colour::blue;
    }
    return Colour::accent;
}

void apply(QApplication& application) {
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QPalette palette;
    palette.setColor(QPalette::Window, color(Colour::windowBackground));
    palette.setColor(QPalette::WindowText, color(Colour::primary));
    palette.setColor(QPalette::Base, color(Colour::textBackground));
    palette.setColor(QPalette::AlternateBase, color(Colour::windowBackground));
    palette.setColor(QPalette::Text, color(Colour::primary));
    palette.setColor(QPalette::Button, color(Colour::controlBackground));
    palette.setColor(QPalette::ButtonText, color(Colour::primary));
    palette.setColor(QPalette::Highlight, color(Colour::accent));
    palette.setColor(QPalette::HighlightedText, color(Colour::white));
    palette.setColor(QPalette::PlaceholderText, color(Colour::secondary));
    palette.setColor(QPalette::ToolTipBase, color(Colour::controlBackground));
    palette.setColor(QPalette::ToolTipText, color(Colour::primary));
    palette.setColor(QPalette::Link, color(Colour::accent));
    palette.setColor(QPalette::Disabled, QPalette::Text, color(Colour::secondary));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, color(Colour::secondary));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, color(Colour::secondary));
    application.setPalette(palette);

    application.setFont(font(TextStyle::body));
    FocusRing::install(application);
    WheelGuard::install(application);
    QtTranslations::install(application);

    // Prominent buttons: the page's main action (accent fill, white label).
    application.setStyleSheet(
        QStringLiteral(
            "QPushButton[prominent=\"true\"] { background: %1; color: white; border: none; "
            "border-radius: 8px;"
            " padding: 9px 18px; font-size: 15px; font-weight: 600; }"
            "QPushButton[prominent=\"true\"]:hover { background: %2; }"
            "QPushButton[prominent=\"true\"]:pressed { background: %3; }"
            "QPushButton[prominent=\"true\"]:disabled { background: %4; }"
            "QPushButton[regularSize=\"true\"] { border-radius: 5px; padding: 4px 16px; min-width: 48px;"
            " font-size: 13px; font-weight: normal; }"
            "QToolTip { color: %5; background: white; border: 1px solid #c8c8cc; }")
            .arg(color(Colour::accent).name(), color(Colour::accent).lighter(112).name(),
                 color(Colour::accent).darker(115).name(), color(Colour::accent).lighter(160).name(),
                 color(Colour::primary).name()));
}

}  // namespace Theme
