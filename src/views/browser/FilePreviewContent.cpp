#include "views/browser/FilePreviewContent.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPdfDocument>
#include <QStringDecoder>

namespace {

constexpr qint64 kTextLimit = 1024 * 1024;
constexpr qint64 kBinaryProbe = 8 * 1024;
// Pixels along the longer edge of a rendered PDF page.
constexpr int kPdfPageEdge = 1400;

bool hasImageExtension(const QString& fileURL) {
    static const QStringList extensions{
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
        QStringLiteral("gif"), QStringLiteral("tiff"), QStringLiteral("tif"),
        QStringLiteral("bmp"), QStringLiteral("heic"), QStringLiteral("webp")};
    return extensions.contains(QFileInfo(fileURL).suffix().toLower());
}

QImage readImage(const QString& fileURL) {
    // Qt's allocation limit stays in force: a hostile header cannot make the reader allocate gigabytes.
    QImageReader reader(fileURL);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage renderFirstPdfPage(const QString& fileURL) {
    QPdfDocument document;
    if (document.load(fileURL) != QPdfDocument::Error::None || document.pageCount() < 1) return {};
    const QSizeF points = document.pagePointSize(0);
    if (points.isEmpty()) return {};
    const QSize size = points.scaled(kPdfPageEdge, kPdfPageEdge, Qt::KeepAspectRatio).toSize();
    QImage page = document.render(0, size);
    if (page.isNull()) return {};
    // Pages are rendered transparent; the pane shows them on paper white.
    QImage paper(page.size(), QImage::Format_ARGB32_Premultiplied);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, page);
    return paper;
}

bool looksLikeText(const QMimeType& mime, const QByteArray& head) {
    return mime.inherits(QStringLiteral("text/plain")) || !head.left(kBinaryProbe).contains('\0');
}

}  // namespace

QString FilePreviewContent::decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        return utf16.decode(bytes);
    }
    // A character cut by the read limit stays pending; only a broken sequence is an error.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gb18030("GB18030");
    return gb18030.decode(bytes);
}

FilePreviewContent FilePreviewContent::load(const QString& fileURL) {
    const QFileInfo info(fileURL);
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info);
    FilePreviewContent content;
    content.fileName = info.fileName();
    content.mimeTypeName = mime.name();
    content.typeDescription = mime.comment();
    content.byteSize = info.size();
    if (hasImageExtension(fileURL)) {
        content.image = readImage(fileURL);
        if (!content.image.isNull()) {
            content.kind = Kind::image;
            return content;
        }
    }
    if (mime.inherits(QStringLiteral("application/pdf"))) {
        content.image = renderFirstPdfPage(fileURL);
        if (!content.image.isNull()) {
            content.kind = Kind::pdf;
            return content;
        }
    }
    QFile file(fileURL);
    if (!file.open(QIODevice::ReadOnly)) return content;
    const QByteArray head = file.read(kTextLimit);
    if (looksLikeText(mime, head)) {
        content.kind = Kind::text;
        content.text = decodeText(head);
    }
    return content;
}
