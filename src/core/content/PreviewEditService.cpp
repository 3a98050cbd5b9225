#include "core/content/PreviewEditService.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/InputItem.h"
#include "core/content/EditWorkFolder.h"
#include "core/content/PreviewToolRuns.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFallback.h"

#include <QFileInfo>
#include <exception>
#include <functional>

namespace {

// An edit is no extraction: where the rules find no reason, its own sentence says it (with the tool's
// one error line), not "解压失败".
void throwIfEditFailed(const ProcessResult& result, const QString& sentence, const QStringList& echoedNames) {
    if (result.status == 0) return;
    const ArchiveError error = ToolFailure::mapExternalError(result, sentence, echoedNames);
    if (error.kind() == ArchiveError::Kind::extractFailed) throw ArchiveError::commandFailed(error.payload());
    throw error;
}

QString editExtension(const QString& archiveURL) { return QFileInfo(archiveURL).suffix().toLower(); }

// The file a link names: the tools remove the archive they are given and rename the new one to its
// name, which would put a file where the link was and leave its archive unedited.
QString editedFile(const QString& archiveURL) {
    const QString real = QFileInfo(archiveURL).canonicalFilePath();
    return real.isEmpty() ? archiveURL : real;
}

// Runs the edit's tool and looks at what it left, however it ended: the new archive its tool finished
// but did not rename is the edit done. Returns the notice for that, else nothing.
QString runEdit(EditWorkFolder& work, const std::function<void()>& run) {
    std::exception_ptr failure;
    try {
        run();
    } catch (...) {
        failure = std::current_exception();
    }
    switch (work.restoreArchive()) {
    case WorkJournal::EditedArchive::putBack:
        return QStringLiteral(u"；编辑程序在换上新压缩包前停止，velmora 已把编辑好的压缩包放到原处。");
    case WorkJournal::EditedArchive::stranded:
        throw ArchiveError::commandFailed(
            QStringLiteral(u"编辑程序删除了原压缩包后停止，编辑好的压缩包未能放回原处，保存在：") +
            work.path());
    case WorkJournal::EditedArchive::inPlace:
    case WorkJournal::EditedArchive::none:
        break;
    }
    if (failure) std::rethrow_exception(failure);
    return {};
}

}  // namespace

SevenZipTool PreviewEditService::requireSevenZip(const QString& missingMessage) const {
    std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool();
    if (!sevenZip) throw ArchiveError::dependencyMissing(missingMessage);
    return *sevenZip;
}

QString PreviewEditService::addFiles(const QStringList& fileURLs, const QString& archiveURL,
                                     const std::optional<QString>& password,
                                     const CancellationToken& token) const {
    if (fileURLs.isEmpty()) throw ArchiveError::noInputFiles();
    const QString extension = editExtension(archiveURL);
    if (!ArchiveFormat::isEditable(archiveURL)) {
        throw ArchiveError::commandFailed(
            QStringLiteral(u"当前仅支持编辑 ZIP / 7Z 压缩包，RAR 暂不支持添加文件。"));
    }
    // 7-Zip would wait for good on a pipe it opens, also one inside a folder being added.
    for (const QString& file : fileURLs) {
        ExtractionSteps::requireItem(file);
        if (const std::optional<QString> inside = InputItem::firstNonContentInside(file, token))
            throw ArchiveError::notFileOrFolder(*inside);
    }
    const SevenZipTool sevenZip =
        requireSevenZip(ArchiveError::withReinstallAdvice(QStringLiteral(u"添加文件需要 7-Zip 工具")));
    const QString archive = editedFile(archiveURL);
    EditWorkFolder work(archive);
    return runEdit(work, [&] {
        throwIfEditFailed(sevenZip.add(archive, extension, fileURLs, password, work.path(), token),
                          QStringLiteral(u"添加文件失败。"), QStringList{archive} + fileURLs);
    });
}

QString PreviewEditService::deleteEntries(const QList<ArchivePreviewEntry>& entries,
                                          const QString& archiveURL, const std::optional<QString>& password,
                                          const CancellationToken& token) const {
    if (entries.isEmpty()) throw ArchiveError::commandFailed(QStringLiteral(u"请选择要删除的条目。"));
    QStringList safePaths;
    for (const ArchivePreviewEntry& entry : entries)
        safePaths.append(PreviewToolRuns::safeToolPath(entry, PreviewToolRuns::Action::deletion));
    const QString extension = editExtension(archiveURL);
    if (!ArchiveFormat::isEditable(archiveURL)) {
        throw ArchiveError::commandFailed(
            QStringLiteral(u"当前仅支持编辑 ZIP / 7Z 压缩包，RAR 暂不支持删除内部文件。"));
    }
    // A ZIP 7-Zip cannot open goes to zip, as in extraction; zip needs no password to delete.
    const QString archive = editedFile(archiveURL);
    EditWorkFolder work(archive);
    ToolFallback::Attempts attempts;
    attempts.step = [&](const ArchiveDriver& driver) {
        PreviewToolRuns::refuseSwitchLikeNames(driver, safePaths, PreviewToolRuns::Action::deletion);
        return driver.remove(archive, safePaths, password, work.path(), token);
    };
    return runEdit(work, [&] {
        PreviewToolRuns::runInOrderOrThrow(
            m_programs, ToolFallback::order(archiveURL, false), attempts,
            [](ToolFallback::Program program) {
                return program == ToolFallback::Program::infoZip ? QStringLiteral(u"删除 ZIP 内文件失败。")
                                                                 : QStringLiteral(u"删除压缩包内文件失败。");
            },
            extension == QStringLiteral("zip")
                ? ArchiveError::withReinstallAdvice(QStringLiteral(u"编辑 ZIP 压缩包需要 7-Zip 或 zip 工具"))
                : ArchiveError::withReinstallAdvice(QStringLiteral(u"编辑 7Z 压缩包需要 7-Zip 工具")),
            QStringList{archive} + safePaths, token, throwIfEditFailed);
    });
}
