#pragma once

#include "core/state/ArchiveActivityKind.h"
#include "core/state/ArchiveActivityStatus.h"

#include <QColor>
#include <QFont>

class QApplication;

// The one fixed light look of velmora: named colours, text styles in pixel sizes and the
// application-wide palette. Every widget takes its colours and fonts from here.
namespace Theme {

enum class Colour {
    accent,
    blue,
    green,
    orange,
    purple,
    red,
    pink,
    primary,
    secondary,
    black,
    white,
    windowBackground,
    controlBackground,
    textBackground,
};

enum class TextStyle { largeTitle, title, title2, title3, headline, body, callout, subheadline, caption };

// The colour, optionally at an opacity (0...1).
QColor color(Colour colour, double opacity = 1.0);

// The style's font: its pixel size and, for headline, bold. `weight` overrides the style's weight.
QFont font(TextStyle style);
QFont font(TextStyle style, QFont::Weight weight);

// The colour of a task status word, badge and percentage.
Colour statusColour(ArchiveActivityStatus status);
// The fill of a task card's progress bar (running tasks use the accent colour).
Colour statusBarColour(ArchiveActivityStatus status);
// The tile colour of a task kind.
Colour kindColour(ArchiveActivityKind kind);

// Sets the light palette, the CJK font, the style sheet of the shared controls, the focus ring and
// Qt's own texts in Chinese.
void apply(QApplication& application);

}  // namespace Theme
