#include "views/kit/Icons.h"

#include "views/kit/Theme.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// Q_INIT_RESOURCE must be used outside a namespace; the resources live in a static library.
static void initIconResources() { Q_INIT_RESOURCE(velmora); }

namespace Icons {

namespace {

const QString kApplicationIconName = QStringLiteral("velmoraIcon");

QString resourcePath(const QString& name) {
    static const bool initialised = [] {
        initIconResources();
        return true;
    }();
    Q_UNUSED(initialised);
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

QImage render(const QString& name, int size, qreal ratio) {
    QImage image(QSize(size, size) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(resourcePath(name));
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// Black ink takes the colour; white ink inside an icon becomes a cut-out, so a filled shape can show
// a mark inside it in any colour.
QImage tinted(const QImage& source, const QColor& color) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int ink = qAlpha(pixel) * (255 - qGray(pixel)) / 255;
            line[x] = qRgba(color.red(), color.green(), color.blue(), ink * color.alpha() / 255);
        }
    }
    return image;
}

}  // namespace

bool has(const QString& name) { return QFile::exists(resourcePath(name)); }

QPixmap pixmap(const QString& name, int size, const QColor& color) {
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QString key =
        QStringLiteral("%1|%2|%3|%4").arg(name).arg(size).arg(color.name(QColor::HexArgb)).arg(ratio);
    static QHash<QString, QPixmap> cache;
    if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;

    QImage image = render(name, size, ratio);
    if (name != kApplicationIconName) image = tinted(image, color);
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(ratio);
    cache.insert(key, result);
    return result;
}

QIcon icon(const QString& name, const QColor& color) {
    QIcon result;
    for (const int size : {16, 20, 24, 32}) {
        result.addPixmap(pixmap(name, size, color), QIcon::Normal);
        result.addPixmap(pixmap(name, size, Theme::color(Theme::Colour::secondary, 0.6)), QIcon::Disabled);
    }
    return result;
}

QIcon applicationIcon() {
    QIcon result;
    for (const int size : {16, 32, 48, 64, 128, 256})
        result.addPixmap(pixmap(kApplicationIconName, size, {}));
    return result;
}

}  // namespace Icons
