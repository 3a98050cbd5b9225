#include "core/split/SplitArchiveScanner.h"

#include "core/base/FileNameHelper.h"
#include "core/base/InputItem.h"
#include "core/split/SplitArchiveError.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString namingIssue(const QString& fileName) {
    return QStringLiteral(u"检测到命名规则不一致：") + fileName +
           QStringLiteral(u"。请保持 part 后数字补零位数一致。");
}

// A volume that is a pipe or a device would keep the tool waiting for good.
void refuseNonFile(const QString& url) {
    if (InputItem::stateOf(url) == InputItem::State::notFileOrFolder)
        throw SplitArchiveError(SplitArchiveError::Kind::notFileOrFolder,
                                InputItem::notFileOrFolderText(url));
}

}  // namespace

SplitArchiveScanner::SplitArchiveScanner(SplitArchiveValidator validator)
    : m_validator(std::move(validator)) {}

SplitArchiveDescriptor SplitArchiveScanner::scan(const QString& selectedURL,
                                                 const std::optional<QString>& destinationRootURL) const {
    const QFileInfo selected(selectedURL);
    if (!selected.exists()) throw SplitArchiveError(SplitArchiveError::Kind::notSplitArchive);
    refuseNonFile(selectedURL);
    if (selected.isDir()) throw SplitArchiveError(SplitArchiveError::Kind::directorySelected);
    const std::optional<SplitArchiveDetector::Match> selectedMatch =
        SplitArchiveDetector::detect(FileNameHelper::lastPathComponent(selectedURL));
    if (!selectedMatch) throw SplitArchiveError(SplitArchiveError::Kind::notSplitArchive);
    const QString folder = selected.absolutePath();

    // Hidden files are left out, the selected one included; an unreadable folder lists nothing.
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QList<SplitArchiveValidator::MatchedPart> parts;
    QStringList namingIssues;
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) continue;
        const std::optional<SplitArchiveDetector::Match> match =
            SplitArchiveDetector::detect(entry.fileName());
        if (!match || match->format != selectedMatch->format || match->baseName != selectedMatch->baseName)
            continue;
        if (match->format == SplitArchiveFormat::rarNew && match->width != selectedMatch->width) {
            namingIssues << namingIssue(entry.fileName());
            continue;
        }
        refuseNonFile(entry.filePath());
        parts.append({.url = entry.filePath(), .match = *match});
    }
    // A plain name.rar or name.zip on its own is a one-file archive.
    if (!selectedMatch->isSplitPart && parts.size() < 2) {
        throw SplitArchiveError(SplitArchiveError::Kind::notSplitArchive);
    }
    return m_validator.validate(*selectedMatch, selectedURL, folder, parts, namingIssues, destinationRootURL);
}
