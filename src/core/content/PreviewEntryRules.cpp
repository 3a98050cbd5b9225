#include "core/content/PreviewEntryRules.h"

#include "platform/ByteCountFormatter.h"

#include <algorithm>
#include <array>

namespace PreviewEntryRules {

namespace {

constexpr std::array<QStringView, 5> kImageExtensions{u"jpg", u"jpeg", u"png", u"gif", u"webp"};

const QChar kSlash = QLatin1Char('/');

QStringView trimmedPath(QStringView path) {
    qsizetype begin = 0;
    qsizetype end = path.size();
    while (begin < end && path[begin] == kSlash) ++begin;
    while (end > begin && path[end - 1] == kSlash) --end;
    return path.sliced(begin, end - begin);
}

// The extension of the last component: the text after its last ".", empty when there is none. A
// name that begins with "." is a hidden name, not an extension.
// Every listed row asks for it: one scan back from the end.
QStringView pathExtension(QStringView path) {
    const QStringView trimmed = trimmedPath(path);
    for (qsizetype index = trimmed.size() - 1; index > 0; --index) {
        if (trimmed[index] == kSlash) return {};
        if (trimmed[index] == QLatin1Char('.'))
            return trimmed[index - 1] == kSlash ? QStringView() : trimmed.sliced(index + 1);
    }
    return {};
}

// ASCII is compared here; other characters may fold to ASCII (the Kelvin sign to "k"), so they are
// left to Qt.
bool sameIgnoringCase(QStringView text, QStringView lowerCase) {
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t character = text[index].unicode();
        if (character >= 0x80) return text.compare(lowerCase, Qt::CaseInsensitive) == 0;
        const char16_t folded = character >= u'A' && character <= u'Z' ? character + 0x20 : character;
        if (folded != lowerCase[index].unicode()) return false;
    }
    return true;
}

// These tests run several times for every listed row: lengths first, without a call.
bool equalsIgnoringCase(QStringView text, QStringView lowerCase) {
    return text.size() == lowerCase.size() && sameIgnoringCase(text, lowerCase);
}

template <size_t N>
bool containsIgnoringCase(const std::array<QStringView, N>& list, QStringView value) {
    return std::any_of(list.begin(), list.end(),
                       [value](QStringView item) { return equalsIgnoringCase(value, item); });
}

QString typedFileText(QStringView extension) {
    return extension.toString().toUpper() + QStringLiteral(u" 文件");
}

}  // namespace

ArchivePreviewEntry listedEntry(const QString& path, std::optional<qint64> byteSize,
                                const QString& modifiedDescription) {
    ArchivePreviewEntry entry;
    entry.path = path;
    entry.byteSize = byteSize.value_or(0);
    if (byteSize) {
        // Rows listed together often share their size (small files, folders): one text for a run of them.
        thread_local std::optional<qint64> previousSize;
        thread_local QString previousText;
        if (byteSize != previousSize) {
            previousSize = byteSize;
            previousText = ByteCountFormatter::fileStyle(*byteSize);
        }
        entry.sizeDescription = previousText;
    }
    entry.modifiedDescription = modifiedDescription;
    entry.kindDescription = kindDescription(path);
    return entry;
}

QString kindDescription(const QString& path) {
    const QStringView extension = pathExtension(path);
    if (path.endsWith(kSlash)) return QStringLiteral(u"文件夹");
    if (extension.isEmpty()) return QStringLiteral(u"文件");
    if (equalsIgnoringCase(extension, u"rtf")) return QStringLiteral(u"多信息文本 (RTF)");
    if (equalsIgnoringCase(extension, u"txt")) return QStringLiteral(u"文本文件");
    if (containsIgnoringCase(kImageExtensions, extension)) return QStringLiteral(u"图像文件");
    if (equalsIgnoringCase(extension, u"pdf")) return QStringLiteral(u"PDF 文档");
    return typedFileText(extension);
}

bool containsMojibakePath(const QList<ArchivePreviewEntry>& entries) {
    return std::any_of(entries.begin(), entries.end(), [](const ArchivePreviewEntry& entry) {
        if (!entry.toolPath.isEmpty()) return false;
        const QStringView path = entry.path;
        for (qsizetype index = 0; index < path.size(); ++index) {
            if (path[index] == QChar::ReplacementCharacter) return true;
            if (path[index] == QLatin1Char('?') && index + 1 < path.size() &&
                path[index + 1] == QLatin1Char('?')) {
                return true;
            }
        }
        return false;
    });
}

QList<ArchivePreviewEntry> shownRows(QList<ArchivePreviewEntry> entries) {
    // In place: a listing of many rows is not built a second time.
    const QLatin1String currentFolder("./");
    bool dropsRow = false;
    for (ArchivePreviewEntry& entry : entries) {
        dropsRow = dropsRow || entry.path.isEmpty();
        if (!entry.path.startsWith(QLatin1Char('.'))) continue;  // the rows of nearly every listing
        qsizetype start = 0;
        while (QStringView(entry.path).sliced(start).startsWith(currentFolder)) start += currentFolder.size();
        if (start == 0 && entry.path != QLatin1String(".")) continue;
        if (entry.toolPath.isEmpty()) entry.toolPath = entry.path;
        entry.path = entry.path == QLatin1String(".") ? QString() : entry.path.sliced(start);
        dropsRow = dropsRow || entry.path.isEmpty();
    }
    if (dropsRow) entries.removeIf([](const ArchivePreviewEntry& entry) { return entry.path.isEmpty(); });
    return entries;
}

}  // namespace PreviewEntryRules
