// The outline of folders and the preview of the selected entry.
#include "viewmodels/ArchivePreviewWindowModel.h"

#include "core/base/ArchiveFormat.h"
#include "viewmodels/ArchiveBrowserServices.h"
#include "viewmodels/OperationFailure.h"

#include <QFileInfo>

namespace {

int pieceCount(const QString& path) { return int(path.split(u'/', Qt::SkipEmptyParts).size()); }

}  // namespace

QList<ArchivePreviewEntry> ArchivePreviewWindowModel::filteredEntries() const {
    QList<ArchivePreviewEntry> rows;
    // Depth first through the expanded folders, without recursion: a stack of (folder rows, next index).
    struct Level {
        const QList<ArchivePreviewEntry>* rows;
        qsizetype next;
    };
    QList<Level> stack{{&m_outline.directEntries(m_currentFolderPath), 0}};
    while (!stack.isEmpty()) {
        Level& level = stack.last();
        if (level.next == level.rows->size()) {
            stack.removeLast();
            continue;
        }
        const ArchivePreviewEntry& row = level.rows->at(level.next++);
        const bool folder = ArchiveEntryOutline::isFolder(row);
        const bool shown =
            m_filterOption == FilterOption::all || (m_filterOption == FilterOption::folders) == folder;
        if (shown) rows.append(row);
        if (!folder) continue;
        const QString key = ArchiveEntryOutline::normalizedFolderPath(row.path);
        if (m_expandedFolderPaths.contains(key)) stack.append({&m_outline.directEntries(key), 0});
    }
    return rows;
}

int ArchivePreviewWindowModel::depth(const ArchivePreviewEntry& entry) const {
    return std::max(0, pieceCount(entry.path) - pieceCount(m_currentFolderPath) - 1);
}

std::optional<ArchivePreviewEntry> ArchivePreviewWindowModel::selectedEntry() const {
    if (!m_selectedEntryID) return std::nullopt;
    if (const ArchivePreviewEntry* entry = entryWithPath(*m_selectedEntryID)) return *entry;
    // Synthetic folder rows live only in the outline.
    for (const ArchivePreviewEntry& row : filteredEntries()) {
        if (row.path == *m_selectedEntryID) return row;
    }
    return std::nullopt;
}

bool ArchivePreviewWindowModel::canExtractSelected() const {
    const std::optional<ArchivePreviewEntry> entry = selectedEntry();
    return entry && !ArchiveEntryOutline::isFolder(*entry) && m_archiveURLs.size() == 1 && !m_isLoading;
}

bool ArchivePreviewWindowModel::supportsArchiveEditing() const {
    return m_archiveURLs.size() == 1 && ArchiveFormat::isEditable(m_archiveURLs.first());
}

bool ArchivePreviewWindowModel::isExpandable(const ArchivePreviewEntry& entry) const {
    return ArchiveEntryOutline::isFolder(entry) && m_outline.hasChildren(entry.path);
}

bool ArchivePreviewWindowModel::isExpanded(const ArchivePreviewEntry& entry) const {
    return m_expandedFolderPaths.contains(ArchiveEntryOutline::normalizedFolderPath(entry.path));
}

void ArchivePreviewWindowModel::toggleExpanded(const ArchivePreviewEntry& entry) {
    if (!isExpandable(entry)) return;
    const QString key = ArchiveEntryOutline::normalizedFolderPath(entry.path);
    QSet<QString> expanded = m_expandedFolderPaths;
    if (!expanded.remove(key)) {
        expanded.insert(key);
    } else {
        // Collapsing a folder collapses every folder inside it.
        expanded.removeIf([&key](const QString& path) { return path.startsWith(key); });
    }
    setExpandedFolderPaths(expanded);
}

void ArchivePreviewWindowModel::toggleExpandCollapseAll() {
    const QSet<QString> all = m_outline.allExpandableFolderPaths(m_currentFolderPath);
    if (all.isEmpty()) return;
    QSet<QString> expanded = m_expandedFolderPaths;
    if (expanded.contains(all)) {
        expanded.subtract(all);
    } else {
        expanded.unite(all);
    }
    setExpandedFolderPaths(expanded);
}

void ArchivePreviewWindowModel::goUpFolder() {
    if (m_currentFolderPath.isEmpty()) return;
    QStringList pieces = m_currentFolderPath.split(u'/', Qt::SkipEmptyParts);
    if (!pieces.isEmpty()) pieces.removeLast();
    setCurrentFolderPath(pieces.isEmpty() ? QString() : pieces.join(u'/') + u'/');
    setSelectedEntryID(std::nullopt);
    clearPreview();
}

void ArchivePreviewWindowModel::clearPreview() {
    cancelPreview();
    setPreviewFileURL(std::nullopt);
    setPreviewMessage(QStringLiteral(u"请选择一个文件进行预览"));
    // A cancelled preview publishes nothing, so its spinner is ended here.
    setIsPreviewLoading(false);
}

void ArchivePreviewWindowModel::handleSpacePreviewShortcut() {
    if (selectedEntry()) updatePreviewForSelection();
}

void ArchivePreviewWindowModel::cancelPreview() {
    ++m_previewGeneration;
    if (m_previewToken) m_previewToken->cancel();
    m_previewToken.reset();
}

void ArchivePreviewWindowModel::showPreviewMessage(const QString& message) {
    setPreviewMessage(message);
    setIsPreviewLoading(false);
}

void ArchivePreviewWindowModel::updatePreviewForSelection() {
    cancelPreview();
    setPreviewFileURL(std::nullopt);
    if (m_archiveURLs.size() != 1)
        return showPreviewMessage(QStringLiteral(u"多压缩包模式暂不支持文件内容预览"));
    const std::optional<ArchivePreviewEntry> entry = selectedEntry();
    if (!entry) return showPreviewMessage(QStringLiteral(u"请选择一个文件进行预览"));
    if (ArchiveEntryOutline::isFolder(*entry))
        return showPreviewMessage(QStringLiteral(u"文件夹不能直接预览"));
    const auto cached = m_previewFileCache.constFind(entry->path);
    if (cached != m_previewFileCache.constEnd() && QFileInfo::exists(*cached)) {
        setPreviewFileURL(*cached);
        return showPreviewMessage({});
    }
    setIsPreviewLoading(true);
    setPreviewMessage(QStringLiteral(u"正在准备预览..."));
    const quint64 generation = m_previewGeneration;
    const CancellationToken token;
    m_previewToken = token;
    const QString archive = m_archiveURLs.first();
    const std::optional<QString> password = effectivePassword();
    ArchiveBrowserServices& services = m_services;
    runInBackground(
        WorkKind::preview,
        [&services, entry = *entry, archive, password, token] {
            return services.extractedPreviewFile(entry, archive, password, token);
        },
        [this, generation, entry = *entry, archive](Outcome<QString>& outcome) {
            previewFinished(generation, entry, archive, outcome);
        });
}

void ArchivePreviewWindowModel::previewFinished(quint64 generation, const ArchivePreviewEntry& entry,
                                                const QString& archiveURL, Outcome<QString>& outcome) {
    // Superseded or cancelled: whatever it wrote stays on disk, uncached and unshown.
    if (generation != m_previewGeneration) return;
    m_previewToken.reset();
    if (outcome.succeeded()) {
        m_previewFileCache.insert(entry.path, outcome.value());
        setPreviewFileURL(outcome.value());
        setPreviewMessage({});
        addToStatus(rememberPasswordIfNeeded(archiveURL));
        setIsPreviewLoading(false);
        return;
    }
    setPreviewFileURL(std::nullopt);
    setPreviewMessage(OperationFailure::text(QStringLiteral(u"预览失败"), outcome.error()));
    if (isPasswordError(outcome.error())) requestPassword(m_previewMessage, PreviewAction{entry.path});
    setIsPreviewLoading(false);
}
