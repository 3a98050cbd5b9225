#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// Our own monochrome SVG icons (resources/icons/<name>.svg), named for what they show, such as
// "archive-box-filled", and tinted in any colour. To add an icon: draw it in black on a 24 x 24 view
// box, save it as resources/icons/<name>.svg and add one <file> line to resources/velmora.qrc.
// "velmoraIcon" is the coloured application icon and is never tinted.
namespace Icons {

// True when an SVG of that name is bundled.
bool has(const QString& name);

// The icon drawn at `size` device-independent pixels in `color`, sharp on high-density screens.
QPixmap pixmap(const QString& name, int size, const QColor& color);

// The same as a QIcon for buttons; the disabled state is drawn in the secondary colour.
QIcon icon(const QString& name, const QColor& color);

// The application icon.
QIcon applicationIcon();

}  // namespace Icons
