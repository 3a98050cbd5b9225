#include "support/ZipBytes.h"

#include <QtEndian>

namespace ZipBytes {

QByteArray le16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray centralHeader(const Header& h) {
    return le32(h.signature) + le16(20) + le16(20) + le16(h.flags) + le16(8) + le16(h.time) + le16(h.date) +
           le32(0) + le32(h.size / 2) + le32(h.size) + le16(quint16(h.name.size())) +
           le16(quint16(h.extra.size())) + le16(quint16(h.comment.size())) + le16(0) + le16(0) + le32(0) +
           le32(0) + h.name + h.extra + h.comment;
}

QByteArray endRecord(quint16 count, quint32 size, quint32 offset, const QByteArray& comment) {
    return le32(0x06054b50) + le16(0) + le16(0) + le16(count) + le16(count) + le32(size) + le32(offset) +
           le16(quint16(comment.size())) + comment;
}

QByteArray zipFile(const QList<Header>& headers, std::optional<quint16> count, const QByteArray& comment) {
    const QByteArray data("local headers and file data");
    QByteArray directory;
    for (const Header& h : headers) directory += centralHeader(h);
    return data + directory +
           endRecord(count.value_or(quint16(headers.size())), quint32(directory.size()), quint32(data.size()),
                     comment);
}

QList<std::pair<QString, QByteArray>> readByUnzipOnly(QByteArray stored, QByteArray deflated) {
    stored[stored.indexOf("PK\x01\x02") + 10] = 8;
    const QByteArray junk = "JUNK" + deflated;
    deflated[deflated.lastIndexOf("PK\x05\x06") + 20] = 40;
    return {{"method.zip", stored}, {"comment.zip", deflated}, {"junk-at-start.zip", junk}};
}

}  // namespace ZipBytes
