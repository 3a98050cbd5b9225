#include "core/content/PreviewEntryRules.h"

#include "platform/ByteCountFormatter.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <array>

namespace PreviewEntryRules {

namespace {

constexpr std::array<QStringView, 13> kFinderPackageExtensions{
    u"app",        u"appex", u"bundle",    u"framework",    u"key",       u"numbers",    u"pages",
    u"playground", u"rtfd",  u"scnassets", u"xcdatamodeld", u"xcodeproj", u"xcworkspace"};

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

bool isAssetCatalogue(QStringView extension) { return equalsIgnoringCase(extension, u"xcassets"); }

QString typedFileText(QStringView extension) {
    return extension.toString().toUpper() + QStringLiteral(u" 文件");
}

// Scalar-value order of the canonically composed forms; QString's own order compares UTF-16 units.
bool scalarOrderLess(const QString& left, const QString& right) {
    const QList<uint> a = left.normalized(QString::NormalizationForm_C).toUcs4();
    const QList<uint> b = right.normalized(QString::NormalizationForm_C).toUcs4();
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

ArchivePreviewEntry packageRow(const QString& rowPath) {
    ArchivePreviewEntry row;
    row.path = rowPath;
    row.kindDescription = kindDescription(rowPath);
    row.packagePresentationStyle = packagePresentationStyle(rowPath);
    return row;
}

}  // namespace

ArchivePreviewEntry listedEntry(const QString& path, std::optional<qint64> byteSize,
                                const QString& modifiedDescription) {
    ArchivePreviewEntry entry;
    entry.path = path;
    entry.byteSize = byteSize.value_or(0);
    if (byteSize) entry.sizeDescription = ByteCountFormatter::fileStyle(*byteSize);
    entry.modifiedDescription = modifiedDescription;
    entry.kindDescription = kindDescription(path);
    return entry;
}

QString kindDescription(const QString& path) {
    const QStringView extension = pathExtension(path);
    if (isAssetCatalogue(extension)) return QStringLiteral(u"文件夹");
    if (containsIgnoringCase(kFinderPackageExtensions, extension)) return typedFileText(extension);
    if (path.endsWith(kSlash)) return QStringLiteral(u"文件夹");
    if (extension.isEmpty()) return QStringLiteral(u"文件");
    if (equalsIgnoringCase(extension, u"rtf")) return QStringLiteral(u"多信息文本 (RTF)");
    if (equalsIgnoringCase(extension, u"txt")) return QStringLiteral(u"文本文件");
    if (containsIgnoringCase(kImageExtensions, extension)) return QStringLiteral(u"图像文件");
    if (equalsIgnoringCase(extension, u"pdf")) return QStringLiteral(u"PDF 文档");
    return typedFileText(extension);
}

// The text after the last "." is one of the package extensions (extensions hold no ".").
bool isFinderPackageName(QStringView component) {
    const qsizetype dot = component.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && containsIgnoringCase(kFinderPackageExtensions, component.sliced(dot + 1));
}

// Runs on every row of every listing: one scan over the characters, allocating only for a root.
std::optional<QString> packageRootPath(const QString& path) {
    const QStringView trimmed = trimmedPath(path);
    qsizetype lastDot = -1;
    for (qsizetype index = 0; index <= trimmed.size(); ++index) {
        if (index < trimmed.size() && trimmed[index] != kSlash) {
            if (trimmed[index] == QLatin1Char('.')) lastDot = index;
            continue;
        }
        if (lastDot >= 0 && containsIgnoringCase(kFinderPackageExtensions,
                                                 trimmed.sliced(lastDot + 1, index - lastDot - 1))) {
            // Empty components, as in a//b.app, are not part of the root.
            return trimmed.first(index).toString().split(kSlash, Qt::SkipEmptyParts).join(kSlash);
        }
        lastDot = -1;
    }
    return std::nullopt;
}

ArchivePreviewEntry::PackagePresentationStyle packagePresentationStyle(const QString& path) {
    return isAssetCatalogue(pathExtension(path)) ? ArchivePreviewEntry::PackagePresentationStyle::folder
                                                 : ArchivePreviewEntry::PackagePresentationStyle::file;
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

QList<ArchivePreviewEntry> finderVisibleEntries(const QList<ArchivePreviewEntry>& entries) {
    QList<std::optional<QString>> roots;
    roots.reserve(entries.size());
    QSet<QString> rootSet;
    for (const ArchivePreviewEntry& entry : entries) {
        roots.append(packageRootPath(entry.path));
        if (roots.last()) rootSet.insert(*roots.last());
    }
    if (rootSet.isEmpty()) return entries;

    QHash<QString, ArchivePreviewEntry> rows;
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const ArchivePreviewEntry& entry = entries[index];
        const QStringView trimmed = trimmedPath(entry.path);
        if (trimmed.isEmpty()) continue;
        if (!roots[index]) {
            rows.insert(entry.path, entry);
            continue;
        }
        const QString key = *roots[index] + kSlash;
        if (trimmed == *roots[index]) {
            ArchivePreviewEntry row = packageRow(key);
            row.byteSize = entry.byteSize;
            row.sizeDescription = entry.sizeDescription;
            row.modifiedDescription = entry.modifiedDescription;
            rows.insert(key, row);
        } else if (!rows.contains(key)) {
            rows.insert(key, packageRow(key));
        }
    }

    QList<ArchivePreviewEntry> visible;
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const ArchivePreviewEntry& entry = entries[index];
        const QString trimmed = trimmedPath(entry.path).toString();
        const QString key = rootSet.contains(trimmed) ? trimmed + kSlash
                            : roots[index]            ? QString()
                                                      : entry.path;
        if (key.isNull()) continue;
        if (const auto found = rows.constFind(key); found != rows.constEnd()) {
            visible.append(*found);
            rows.erase(found);
        }
    }

    QList<ArchivePreviewEntry> madeRows = rows.values();
    std::stable_sort(madeRows.begin(), madeRows.end(),
                     [](const ArchivePreviewEntry& a, const ArchivePreviewEntry& b) {
                         return scalarOrderLess(a.path, b.path);
                     });
    visible.append(madeRows);
    return visible;
}

}  // namespace PreviewEntryRules
