#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class TempTree;

// Archives written byte by byte, as tools in legacy locales write them: names are the bytes given,
// and nothing marks them as UTF-8 unless asked. Entries are stored uncompressed; a name ending in "/"
// (or "\" from Windows) is a folder.
namespace LegacyArchives {

struct Item {
    Item(QByteArray name, QByteArray data = {}, bool utf8Flag = false, QByteArray extra = {})
        : name(std::move(name)), data(std::move(data)), utf8Flag(utf8Flag), extra(std::move(extra)) {}

    QByteArray name;
    QByteArray data;
    bool utf8Flag = false;
    QByteArray extra;       // the central and local extra field
    bool wrongCrc = false;  // the stored data does not match its CRC
};

// The system an entry was made on, the high byte of "version made by": 0 is MS-DOS and Windows
// (FAT), 3 Unix; any other byte is written as given.
enum class Host : quint8 { windows = 0, unix = 3 };

QByteArray zip(const QList<Item>& items, Host host = Host::windows);
// A GNU tar; gzip it with the gzip tool for a .tgz.
QByteArray tar(const QList<Item>& items);

// Info-ZIP's Unicode Path field for an entry stored under storedName.
QByteArray unicodePathField(const QByteArray& storedName, const QString& name);

QByteArray gbk(const QString& text);

// A Chinese tree whose names are stored as GBK bytes: a folder, a file in it and one with mixed
// scripts and full-width brackets.
namespace ChineseSample {
inline const QString kFolder = QStringLiteral(u"中文目录/");
inline const QString kFile = QStringLiteral(u"中文目录/测试文件.txt");
inline const QString kMixed = QStringLiteral(u"中文目录/报告（2024版）final.doc");
inline const QByteArray kContents = QByteArrayLiteral("测试内容\n");
QList<Item> gbkItems();
}  // namespace ChineseSample

// A gzip of a file named memberName, as gzip records that name in its header, written to tree/name.
QString gzipped(TempTree& tree, const QString& name, const QString& memberName, const QByteArray& bytes);

// The names of the items directly in a folder, as the bytes on disk, in byte order.
QList<QByteArray> diskNames(const QString& folder);

}  // namespace LegacyArchives
