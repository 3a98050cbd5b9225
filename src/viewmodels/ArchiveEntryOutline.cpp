#include "viewmodels/ArchiveEntryOutline.h"

#include "core/base/UnicodeText.h"

#include <QCollatorSortKey>
#include <algorithm>
#include <numeric>

namespace {

const QList<ArchivePreviewEntry> kNoEntries;

ArchivePreviewEntry syntheticFolder(const QString& key) {
    ArchivePreviewEntry row;
    row.path = key;
    row.kindDescription = QStringLiteral(u"文件夹");
    return row;
}

}  // namespace

ArchiveEntryOutline::ArchiveEntryOutline(const QList<ArchivePreviewEntry>& entries) {
    for (const ArchivePreviewEntry& entry : entries) addEntry(entry);
    for (const Folder& folder : std::as_const(m_folders)) {
        for (auto key = folder.rowsByKey.keyBegin(); key != folder.rowsByKey.keyEnd(); ++key)
            ++(key->endsWith(u'/') ? m_folderCount : m_fileCount);
    }
}

bool ArchiveEntryOutline::isFolder(const ArchivePreviewEntry& entry) { return entry.path.endsWith(u'/'); }

QString ArchiveEntryOutline::trimmedSlashes(const QString& path) {
    qsizetype begin = 0;
    qsizetype end = path.size();
    while (begin < end && path.at(begin) == u'/') ++begin;
    while (end > begin && path.at(end - 1) == u'/') --end;
    return path.mid(begin, end - begin);
}

QString ArchiveEntryOutline::normalizedFolderPath(const QString& path) {
    const QString trimmed = trimmedSlashes(path);
    return trimmed.isEmpty() ? QString() : trimmed + u'/';
}

// One pass per entry over its folders: the entry itself in its parent, a synthetic row for each
// folder on the way that nothing has claimed yet. A listed row replaces what is stored under its
// key; a synthetic one never does, so a listed folder keeps its own size and date in any order.
void ArchiveEntryOutline::addEntry(const ArchivePreviewEntry& entry) {
    const QString p = trimmedSlashes(entry.path);
    if (p.isEmpty()) return;
    const QStringList pieces = p.split(u'/', Qt::SkipEmptyParts);
    QString base;
    for (qsizetype level = 0; level + 1 < pieces.size(); ++level) {
        const QString key = base.isEmpty() ? pieces[level] + u'/' : base + u'/' + pieces[level] + u'/';
        Folder& folder = m_folders[base];
        if (!folder.rowsByKey.contains(key)) folder.rowsByKey.insert(key, syntheticFolder(key));
        base = key.chopped(1);
    }
    Folder& parent = m_folders[base];
    parent.rowsByKey.insert(entry.path.endsWith(u'/') ? p + u'/' : p, entry);
}

const QList<ArchivePreviewEntry>& ArchiveEntryOutline::directEntries(const QString& folder) const {
    const auto found = m_folders.find(trimmedSlashes(folder));
    if (found == m_folders.end()) return kNoEntries;
    Folder& rows = found.value();
    if (!rows.isSorted) {
        rows.sorted = rows.rowsByKey.values();
        // One collation key per row instead of one collation per comparison: a folder of thousands
        // of files sorts in a few milliseconds.
        std::vector<QCollatorSortKey> keys;
        keys.reserve(rows.sorted.size());
        for (const ArchivePreviewEntry& row : rows.sorted) {
            keys.push_back(UnicodeText::localizedStandardSortKey(row.path));
        }
        std::vector<qsizetype> order(rows.sorted.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const ArchivePreviewEntry& left = rows.sorted[a];
            const ArchivePreviewEntry& right = rows.sorted[b];
            const bool leftFolder = isFolder(left);
            if (leftFolder != isFolder(right)) return leftFolder;
            const int byName = keys[a].compare(keys[b]);
            return byName != 0 ? byName < 0 : left.path < right.path;
        });
        QList<ArchivePreviewEntry> sorted;
        sorted.reserve(order.size());
        for (qsizetype index : order) sorted.append(rows.sorted[index]);
        rows.sorted = std::move(sorted);
        rows.isSorted = true;
    }
    return rows.sorted;
}

bool ArchiveEntryOutline::hasChildren(const QString& folder) const {
    const auto found = m_folders.constFind(trimmedSlashes(folder));
    return found != m_folders.constEnd() && !found->rowsByKey.isEmpty();
}

QSet<QString> ArchiveEntryOutline::allExpandableFolderPaths(const QString& folder) const {
    QSet<QString> paths;
    const auto found = m_folders.constFind(trimmedSlashes(folder));
    if (found == m_folders.constEnd()) return paths;
    for (const ArchivePreviewEntry& row : found->rowsByKey) {
        if (!isFolder(row)) continue;
        const QString key = normalizedFolderPath(row.path);
        if (!hasChildren(key)) continue;
        paths.insert(key);
        paths.unite(allExpandableFolderPaths(key));
    }
    return paths;
}
