// Extraction of the selection or of whole archives, and adding and deleting entries in place.
#include "viewmodels/ArchivePreviewWindowModel.h"

#include "core/base/CancellationError.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/SourceTrash.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "viewmodels/ArchiveBrowserPlatform.h"
#include "viewmodels/ArchiveBrowserServices.h"
#include "viewmodels/BatchPasswords.h"
#include "viewmodels/OperationFailure.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

struct WholeArchivesExtraction {
    OperationOutputs result;
    BatchPasswords::Choice passwords;
};

bool isCancellation(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const CancellationError&) {
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

std::optional<QString> ArchivePreviewWindowModel::extractSelectedRefusal() const {
    if (m_archiveURLs.size() != 1) return QStringLiteral(u"多压缩包模式请使用“全部解压”。");
    const std::optional<ArchivePreviewEntry> entry = selectedEntry();
    if (!entry) return QStringLiteral(u"请选择要提取的文件。");
    if (ArchiveEntryOutline::isFolder(*entry))
        return QStringLiteral(u"文件夹请使用“全部解压”，当前提取按钮用于单个文件。");
    return std::nullopt;
}

std::optional<QString> ArchivePreviewWindowModel::addRefusal() const {
    if (!supportsArchiveEditing()) return QStringLiteral(u"当前仅支持向 ZIP / 7Z 压缩包添加文件。");
    return std::nullopt;
}

std::optional<QString> ArchivePreviewWindowModel::deleteRefusal() const {
    if (!supportsArchiveEditing())
        return QStringLiteral(u"当前仅支持删除 ZIP / 7Z 压缩包内文件，RAR 暂不支持原地编辑。");
    if (!selectedEntry()) return QStringLiteral(u"请选择要删除的条目。");
    return std::nullopt;
}

void ArchivePreviewWindowModel::extractSelected() {
    if (const std::optional<QString> refusal = extractSelectedRefusal()) return setStatusMessage(*refusal);
    const std::optional<ArchivePreviewEntry> entry = selectedEntry();
    setIsLoading(true);
    setStatusMessage(QStringLiteral(u"正在提取：") + entry->path);
    const QString archive = m_archiveURLs.first();
    const QString destination = singleEntryExtractionDestination(*entry, archive);
    const std::optional<QString> password = effectivePassword();
    ArchiveBrowserServices& services = m_services;
    runInBackground(
        WorkKind::extraction,
        [&services, entry = *entry, archive, destination, password, token = m_workToken] {
            return services.extractEntries({entry}, archive, destination, password, token);
        },
        [this, entry = *entry, archive, destination](Outcome<OperationOutputs>& outcome) {
            if (!outcome.succeeded())
                return extractionFailed(outcome.error(), ExtractSelectedAction{entry.path});
            const QString unsaved = rememberPasswordIfNeeded(archive);
            const OperationOutputs& result = outcome.value();
            setStatusMessage(OperationFailure::withNotices(
                QStringLiteral(u"已提取：") + entry.path + result.renamedNote(), unsaved));
            finishExtraction(result.outputs.isEmpty() ? QStringList{destination} : result.outputs,
                             result.renamedCount > 0 || !unsaved.isEmpty());
        });
}

QString ArchivePreviewWindowModel::singleEntryExtractionDestination(const ArchivePreviewEntry& entry,
                                                                    const QString& archiveURL) const {
    const QString parent = QFileInfo(archiveURL).absolutePath();
    QString name = FileNameHelper::lastPathComponent(ArchiveEntryOutline::normalizedFolderPath(entry.path));
    if (name.isEmpty()) name = FileNameHelper::archiveBaseName(archiveURL);
    return FileNameHelper::uniqueDirectoryURL(name + QStringLiteral(u" 提取"), parent);
}

void ArchivePreviewWindowModel::extractAll() {
    if (m_archiveURLs.isEmpty()) return;
    setIsLoading(true);
    setStatusMessage(QStringLiteral(u"正在解压到当前位置..."));
    extract(m_archivesLeft.isEmpty() ? m_archiveURLs : m_archivesLeft);
}

// A lone archive's password was proven by its listing; of several, each encrypted one gets the password
// book's candidates after the window's password, as the extract page gives them.
void ArchivePreviewWindowModel::extract(const QStringList& archiveURLs) {
    const AppSettings settings = m_settingsStore.load();
    const int threadCount = std::max(1, m_platform->activeProcessorCount());
    const QString root = !settings.defaultExtractLocationPath.isEmpty() ? settings.defaultExtractLocationPath
                         : !archiveURLs.isEmpty() ? QFileInfo(archiveURLs.first()).absolutePath()
                                                  : QDir::homePath();
    const bool several = m_archiveURLs.size() > 1;
    BatchPasswords::Request request{.archives = archiveURLs,
                                    .typed = effectivePassword(),
                                    .candidates = {},
                                    .probeEvery = several && effectivePassword().has_value() &&
                                                  settings.archivePasswordBookAutoSaveEnabled};
    if (several && settings.archivePasswordBookEnabled) {
        for (const QString& archive : archiveURLs)
            request.candidates << m_passwordBookStore.candidatePasswords(archive);
    }
    ArchiveBrowserServices& services = m_services;
    runInBackground(
        WorkKind::extraction,
        [&services, request, root, settings, threadCount, token = m_workToken] {
            WholeArchivesExtraction extraction{.result = {},
                                               .passwords = BatchPasswords::choose(services, request, token)};
            extraction.result = services.extract(request.archives, root, extraction.passwords.passwords,
                                                 settings, threadCount, token);
            return extraction;
        },
        [this, archiveURLs, several](Outcome<WholeArchivesExtraction>& outcome) {
            if (!outcome.succeeded()) {
                // The last archive left of several fails alone: it is named as in a batch.
                if (several && !isCancellation(outcome.error())) {
                    OperationOutputs failed;
                    failed.failures.append({archiveURLs.first(), outcome.error()});
                    return batchExtractionFailed(failed, {});
                }
                return extractionFailed(outcome.error(), ExtractAllAction{});
            }
            const OperationOutputs& result = outcome.value().result;
            const BatchPasswords::Choice& passwords = outcome.value().passwords;
            const QString notices =
                SourceTrash::untrashedNotice(result.untrashed) +
                rememberExtractionPasswords(archiveURLs, result, passwords.passwords,
                                            several ? passwords.encrypted : QList<bool>{true});
            if (!result.failures.isEmpty()) return batchExtractionFailed(result, notices);
            m_archivesLeft.clear();
            QStringList names;
            for (const QString& output : result.outputs) names << FileNameHelper::lastPathComponent(output);
            setStatusMessage(OperationFailure::withNotices(
                QStringLiteral(u"解压完成：") + names.join(QStringLiteral(", ")) + result.renamedNote(),
                notices));
            finishExtraction(result.outputs, result.renamedCount > 0 || !notices.isEmpty());
        });
}

// Remembered only for an archive that the password opened and that needed it; a failed save is told once.
QString ArchivePreviewWindowModel::rememberExtractionPasswords(const QStringList& archiveURLs,
                                                               const OperationOutputs& result,
                                                               const ExtractionPasswords& passwords,
                                                               const QList<bool>& encrypted) {
    QString unsaved;
    for (qsizetype index = 0; index < archiveURLs.size(); ++index) {
        if (!encrypted.value(index) || result.failureOf(archiveURLs[index])) continue;
        const QString notice =
            rememberPasswordIfNeeded(archiveURLs[index], passwords.value(index).value_or(QString()));
        if (unsaved.isEmpty()) unsaved = notice;
    }
    return unsaved;
}

// Some archives of several failed and the others were extracted: the window stays, saying which
// failed and why, as every other way in says it.
void ArchivePreviewWindowModel::batchExtractionFailed(const OperationOutputs& result,
                                                      const QString& notices) {
    m_archivesLeft.clear();
    for (const ArchiveFailure& failure : result.failures) m_archivesLeft << failure.archive;
    setStatusMessage(OperationFailure::batchText(ArchiveActivityKind::extract, result.outputs.size(),
                                                 result.renamedNote() + notices, result.failures));
    const auto locked =
        std::find_if(result.failures.begin(), result.failures.end(),
                     [](const ArchiveFailure& failure) { return isPasswordError(failure.error); });
    if (locked != result.failures.end())
        requestPassword(OperationFailure::archiveText(ArchiveActivityKind::extract, *locked),
                        ExtractAllAction{});
    finishExtraction(result.outputs, true);
}

void ArchivePreviewWindowModel::extractionFailed(const std::exception_ptr& error,
                                                 const PendingPasswordAction& action) {
    setStatusMessage(OperationFailure::text(ArchiveActivityKind::extract, error));
    if (isPasswordError(error)) requestPassword(m_statusMessage, action);
    setIsLoading(false);
}

void ArchivePreviewWindowModel::finishExtraction(const QStringList& revealed, bool keepOpen) {
    if (!revealed.isEmpty()) m_platform->revealInFileManager(revealed);
    if (closeWindow && !keepOpen) closeWindow();
    setIsLoading(false);
}

void ArchivePreviewWindowModel::addFiles() {
    if (const std::optional<QString> refusal = addRefusal()) return setStatusMessage(*refusal);
    std::weak_ptr<ArchivePreviewWindowModel> weak = weak_from_this();
    m_platform->chooseItemsToAdd(m_archiveURLs.first(), [weak](const QStringList& chosen) {
        if (const auto self = weak.lock(); self && !chosen.isEmpty()) self->addChosenFiles(chosen);
    });
}

void ArchivePreviewWindowModel::addChosenFiles(const QStringList& fileURLs) {
    const int taken = sameNamedCount(fileURLs);
    if (taken == 0) return runAdding(fileURLs);
    std::weak_ptr<ArchivePreviewWindowModel> weak = weak_from_this();
    m_platform->confirmReplacement(QStringLiteral(u"压缩包中已有 %1 个同名项目，是否替换？").arg(taken),
                                   [weak, fileURLs](bool replace) {
                                       if (const auto self = weak.lock(); self && replace)
                                           self->runAdding(fileURLs);
                                   });
}

// Items go in at the top level under their own names, where the tool replaces an entry of that name.
int ArchivePreviewWindowModel::sameNamedCount(const QStringList& fileURLs) const {
    QSet<QString> topLevelNames;
    for (const ArchivePreviewEntry& entry : m_entries)
        topLevelNames.insert(entry.path.section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty));
    return int(std::count_if(fileURLs.begin(), fileURLs.end(), [&topLevelNames](const QString& url) {
        return topLevelNames.contains(FileNameHelper::lastPathComponent(url));
    }));
}

void ArchivePreviewWindowModel::runAdding(const QStringList& fileURLs) {
    // Its file is about to change; the edit would otherwise wait for it.
    clearPreview();
    setIsLoading(true);
    setStatusMessage(QStringLiteral(u"正在添加 %1 个项目...").arg(fileURLs.size()));
    const QString archive = m_archiveURLs.first();
    const std::optional<QString> password = effectivePassword();
    ArchiveBrowserServices& services = m_services;
    runInBackground(
        WorkKind::edit,
        [&services, fileURLs, archive, password, token = m_workToken] {
            return services.addFiles(fileURLs, archive, password, token);
        },
        [this, count = fileURLs.size()](Outcome<QString>& outcome) {
            if (!outcome.succeeded()) {
                setStatusMessage(OperationFailure::text(QStringLiteral(u"添加失败"), outcome.error()));
                setIsLoading(false);
                return;
            }
            editSucceeded(QStringLiteral(u"已添加 %1 个项目。").arg(count), outcome.value());
        });
}

void ArchivePreviewWindowModel::deleteSelected() {
    if (const std::optional<QString> refusal = deleteRefusal()) return setStatusMessage(*refusal);
    const std::optional<ArchivePreviewEntry> entry = selectedEntry();
    const QString informative = QStringLiteral(u"将从 ") +
                                FileNameHelper::lastPathComponent(m_archiveURLs.first()) +
                                QStringLiteral(u" 删除：\n") + entry->path;
    std::weak_ptr<ArchivePreviewWindowModel> weak = weak_from_this();
    m_platform->confirmDeletion(QStringLiteral(u"确认从压缩包中删除？"), informative,
                                [weak, entry = *entry](bool confirmed) {
                                    if (const auto self = weak.lock(); self && confirmed)
                                        self->deleteEntry(entry);
                                });
}

void ArchivePreviewWindowModel::deleteEntry(const ArchivePreviewEntry& entry) {
    // Its file is about to change; the edit would otherwise wait for it.
    clearPreview();
    setIsLoading(true);
    setStatusMessage(QStringLiteral(u"正在删除：") + entry.path);
    const QString archive = m_archiveURLs.first();
    const std::optional<QString> password = effectivePassword();
    ArchiveBrowserServices& services = m_services;
    runInBackground(
        WorkKind::edit,
        [&services, entry, archive, password, token = m_workToken] {
            return services.deleteEntries({entry}, archive, password, token);
        },
        [this, entry](Outcome<QString>& outcome) {
            if (!outcome.succeeded()) {
                setStatusMessage(OperationFailure::text(QStringLiteral(u"删除失败"), outcome.error()));
                setIsLoading(false);
                return;
            }
            setSelectedEntryID(std::nullopt);
            setPreviewFileURL(std::nullopt);
            m_previewFileCache.clear();
            editSucceeded(QStringLiteral(u"已删除：") + entry.path, outcome.value());
        });
}

// A notice (the new archive put in place after its tool stopped) outlasts the listing that follows.
void ArchivePreviewWindowModel::editSucceeded(const QString& status, const QString& notice) {
    setStatusMessage(OperationFailure::withNotices(status, notice));
    m_listingNotice = notice;
    setIsLoading(false);
    reload();
}
