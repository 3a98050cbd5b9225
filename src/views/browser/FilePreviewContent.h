#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

// What the preview pane shows for one extracted file, worked out off the GUI thread: an image, the
// first page of a PDF, text, or a card naming the file's type.
struct FilePreviewContent {
    enum class Kind { image, pdf, text, card };

    Kind kind = Kind::card;
    QImage image;  // image and pdf
    QString text;  // text
    QString fileName;
    QString mimeTypeName;
    QString typeDescription;
    qint64 byteSize = 0;

    // Reads and decodes the file; never throws. Images are tried only for the nine image extensions
    // and fall through to the next kind when they do not decode.
    static FilePreviewContent load(const QString& fileURL);
    // UTF-8, or UTF-16 with a byte order mark, else GB18030.
    static QString decodeText(const QByteArray& bytes);
};
