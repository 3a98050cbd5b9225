#include "LegacyArchives.h"

#include "support/TempTree.h"
#include "support/ZipBytes.h"

#include <QFile>
#include <QStringEncoder>

#include <algorithm>
#include <filesystem>

namespace LegacyArchives {

namespace {

using ZipBytes::le16;
using ZipBytes::le32;

// Bit by bit, independent of the reader's table.
quint32 crcOf(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

QByteArray octal(qint64 value, int width) {
    return QByteArray::number(value, 8).rightJustified(width - 1, '0') + '\0';
}

}  // namespace

QByteArray zip(const QList<Item>& items, Host host) {
    QByteArray local;
    QByteArray central;
    for (const Item& item : items) {
        const bool folder = item.name.endsWith('/') || item.name.endsWith('\\');
        const quint32 crc = crcOf(item.data) ^ (item.wrongCrc ? 1 : 0);
        const quint16 flags = item.utf8Flag ? 0x0800 : 0;
        const QByteArray common = le16(20) + le16(flags) + le16(0) + le16(0x7021) + le16(0x5821) + le32(crc) +
                                  le32(quint32(item.data.size())) + le32(quint32(item.data.size())) +
                                  le16(quint16(item.name.size())) + le16(quint16(item.extra.size()));
        const quint32 offset = quint32(local.size());
        local += le32(0x04034b50) + common + item.name + item.extra + item.data;
        const quint32 unixMode = folder ? 040755 : 0100644;
        // Unix and macOS (19) keep the mode in the upper half.
        const bool unixLike = host == Host::unix || quint8(host) == 19;
        const quint32 attributes = unixLike ? (unixMode << 16) | (folder ? 0x10 : 0) : (folder ? 0x10 : 0x20);
        const quint16 madeBy = quint16(quint16(host) << 8 | (unixLike ? 30 : 20));
        central += le32(0x02014b50) + le16(madeBy) + common + le16(0) + le16(0) + le16(0) + le32(attributes) +
                   le32(offset) + item.name + item.extra;
    }
    const quint16 count = quint16(items.size());
    return local + central + le32(0x06054b50) + le16(0) + le16(0) + le16(count) + le16(count) +
           le32(quint32(central.size())) + le32(quint32(local.size())) + le16(0);
}

QByteArray tar(const QList<Item>& items) {
    QByteArray archive;
    for (const Item& item : items) {
        const bool folder = item.name.endsWith('/');
        QByteArray header(512, '\0');
        header.replace(0, item.name.size(), item.name);
        header.replace(100, 8, octal(folder ? 0755 : 0644, 8));
        header.replace(108, 8, octal(1000, 8));
        header.replace(116, 8, octal(1000, 8));
        header.replace(124, 12, octal(item.data.size(), 12));
        header.replace(136, 12, octal(1710000000, 12));
        header.replace(148, 8, QByteArray(8, ' '));
        header[156] = folder ? '5' : '0';
        header.replace(257, 8, QByteArray("ustar  \0", 8));
        int sum = 0;
        for (const char byte : header) sum += static_cast<unsigned char>(byte);
        header.replace(148, 8, QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
        archive += header + item.data + QByteArray((512 - item.data.size() % 512) % 512, '\0');
    }
    return archive + QByteArray(1024, '\0');
}

QByteArray unicodePathField(const QByteArray& storedName, const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    return le16(0x7075) + le16(quint16(5 + utf8.size())) + '\x01' + le32(crcOf(storedName)) + utf8;
}

QByteArray gbk(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QList<Item> ChineseSample::gbkItems() {
    return {{gbk(kFolder)}, {gbk(kFile), kContents}, {gbk(kMixed), "mixed"}};
}

QString gzipped(TempTree& tree, const QString& name, const QString& memberName, const QByteArray& bytes) {
    tree.writeFile(QStringLiteral("gz/") + memberName, bytes);
    runTool(QStringLiteral("gzip"), {QStringLiteral("-k"), memberName}, tree.path(QStringLiteral("gz")));
    QFile::rename(tree.path(QStringLiteral("gz/") + memberName + QStringLiteral(".gz")), tree.path(name));
    return tree.path(name);
}

QList<QByteArray> diskNames(const QString& folder) {
    QList<QByteArray> names;
    for (const auto& item : std::filesystem::directory_iterator(QFile::encodeName(folder).toStdString()))
        names.append(QByteArray::fromStdString(item.path().filename().native()));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace LegacyArchives
