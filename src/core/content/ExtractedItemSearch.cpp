#include "core/content/ExtractedItemSearch.h"

#include <QDirIterator>
#include <QFileInfo>

namespace ExtractedItemSearch {

namespace {

template <typename Accept>
std::optional<QString> firstMatch(const QString& name, const QString& root, Accept&& accept) {
    if (name.isEmpty()) return std::nullopt;
    // Without QDir::Hidden hidden items are skipped and hidden folders are not entered.
    QDirIterator iterator(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QFileInfo info = iterator.nextFileInfo();
        if (info.fileName() == name && accept(info)) return info.filePath();
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> locateExtractedFile(const QString& name, const QString& root) {
    return firstMatch(name, root, [](const QFileInfo& info) { return info.isFile(); });
}

std::optional<QString> locateExtractedItem(const QString& name, const QString& root) {
    return firstMatch(name, root, [](const QFileInfo&) { return true; });
}

bool isContained(const QString& path, const QString& root) {
    const QString canonicalPath = QFileInfo(path).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonicalPath.isEmpty() || canonicalRoot.isEmpty()) return false;
    return canonicalPath == canonicalRoot || canonicalPath.startsWith(canonicalRoot + QLatin1Char('/'));
}

}  // namespace ExtractedItemSearch
