#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// ZIP central directories written byte by byte, damage included, for the readers of a directory.
namespace ZipBytes {

struct Header {
    Header(QByteArray name, quint16 flags = 0, quint32 size = 0)
        : name(std::move(name)), flags(flags), size(size) {}

    QByteArray name;
    quint16 flags = 0;
    quint32 size = 0;
    quint16 time = 0;
    quint16 date = 0;
    QByteArray extra;
    QByteArray comment;
    quint32 signature = 0x02014b50;
};

QByteArray le16(quint16 value);
QByteArray le32(quint32 value);

QByteArray centralHeader(const Header& header);
QByteArray endRecord(quint16 count, quint32 size, quint32 offset, const QByteArray& comment = {});

// A file of some leading data, the given headers as its directory, and an end record that describes
// them (entry count as given, or the number of headers).
QByteArray zipFile(const QList<Header>& headers, std::optional<quint16> count = std::nullopt,
                   const QByteArray& comment = {});

// Made from a stored and a deflated ZIP without a comment, the ZIPs other programs write that 7-Zip
// calls damaged or cannot open and unzip reads whole, by file name: "method.zip" (the first central
// header names deflate for a stored entry), "comment.zip" (the end record's comment length runs past
// the file), "junk-at-start.zip" (four bytes before the first header).
QList<std::pair<QString, QByteArray>> readByUnzipOnly(QByteArray stored, QByteArray deflated);

}  // namespace ZipBytes
