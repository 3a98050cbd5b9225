#include "core/split/SplitArchiveValidator.h"

#include "core/base/FileNameHelper.h"
#include "platform/ToolText.h"
#include "core/base/UnicodeText.h"
#include "core/split/SplitArchiveError.h"
#include "core/split/SplitArchiveExtractionCoordinator.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStorageInfo>
#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using Match = SplitArchiveDetector::Match;
using State = SplitArchiveValidationState;

namespace {

constexpr double kSpaceMargin = 1.1;

struct FileFacts {
    bool readable = false;
    qint64 byteSize = 0;
};

FileFacts fileFacts(const QString& path) {
    const QByteArray native = ToolText::encodedName(path);
    struct stat info {};
    const qint64 size = ::stat(native.constData(), &info) == 0 ? static_cast<qint64>(info.st_size) : 0;
    return {.readable = ::access(native.constData(), R_OK) == 0, .byteSize = size};
}

QString parentFolder(const QString& path) { return QFileInfo(path).absolutePath(); }

// The indexes 1...upper: every found one, and the missing ones while the budget lasts.
void appendRange(QList<qint64>& indexes, qint64 upper, const QList<qint64>& found, qsizetype& missingBudget) {
    qint64 next = 1;
    for (qint64 index : found) {
        if (index < next || index > upper) continue;
        for (; next < index && missingBudget > 0; ++next, --missingBudget) indexes << next;
        indexes << index;
        if (index == upper) return;
        next = index + 1;
    }
    for (; next <= upper && missingBudget > 0; ++next, --missingBudget) indexes << next;
}

// Of several files for one volume, the first in file-manager order.
SplitArchiveValidator::MatchedPart chosenFile(QList<SplitArchiveValidator::MatchedPart> group) {
    std::stable_sort(group.begin(), group.end(), [](const auto& a, const auto& b) {
        return UnicodeText::localizedStandardCompare(FileNameHelper::lastPathComponent(a.url),
                                                     FileNameHelper::lastPathComponent(b.url)) < 0;
    });
    return group.first();
}

struct Verdict {
    State state;
    std::optional<QString> message;
};

Verdict verdict(const SplitArchiveDescriptor& descriptor, const Match& selectedMatch, bool writable,
                bool spaceSufficient, const QString& destination) {
    using Kind = SplitArchiveError::Kind;
    const auto message = [](Kind kind, const QString& payload = {}) {
        return SplitArchiveError(kind, payload).message();
    };
    if (!descriptor.namingIssueMessages.isEmpty())
        return {State::namingMismatch, descriptor.namingIssueMessages.first()};
    if (selectedMatch.format == SplitArchiveFormat::unsupported) {
        return {State::unsupported,
                QStringLiteral(u"已识别为 ") +
                    SplitArchiveExtractionCoordinator::archiveFormatText(SplitArchiveFormat::unsupported) +
                    QStringLiteral(u"，但当前解压引擎不支持该格式或版本。")};
    }
    if (!descriptor.primaryPartURL) {
        return {State::missingPrimary, message(Kind::missingPrimary, selectedMatch.expectedPrimaryFileName)};
    }
    if (!descriptor.duplicatePartFileNames.isEmpty()) {
        return {State::duplicateParts,
                message(Kind::duplicatePart, descriptor.duplicatePartFileNames.first())};
    }
    if (!descriptor.missingPartFileNames.isEmpty()) {
        return {State::missingParts, message(Kind::missingPart, descriptor.missingPartFileNames.first())};
    }
    if (!descriptor.unreadablePartFileNames.isEmpty()) {
        return {State::unreadableParts,
                message(Kind::unreadablePart, descriptor.unreadablePartFileNames.first())};
    }
    if (!writable) return {State::outputNotWritable, message(Kind::outputNotWritable, destination)};
    if (!spaceSufficient) return {State::insufficientDiskSpace, message(Kind::insufficientDiskSpace)};
    return {State::complete, std::nullopt};
}

}  // namespace

SplitArchiveValidator::SplitArchiveValidator(FreeSpaceQuery freeSpace) : m_freeSpace(std::move(freeSpace)) {}

SplitArchiveDescriptor SplitArchiveValidator::validate(
    const Match& selectedMatch, const QString& selectedURL, const QString& directoryURL,
    const QList<MatchedPart>& matchedParts, const QStringList& namingIssueMessages,
    const std::optional<QString>& destinationRootURL) const {
    QMap<qint64, QList<MatchedPart>> groups;
    for (const MatchedPart& part : matchedParts) groups[part.match.index] << part;
    const QList<qint64> sortedIndexes = groups.keys();
    const qint64 minIndex = sortedIndexes.isEmpty() ? selectedMatch.index : sortedIndexes.first();
    const qint64 maxIndex = sortedIndexes.isEmpty() ? selectedMatch.index : sortedIndexes.last();
    const bool isZip = selectedMatch.format == SplitArchiveFormat::zip;
    const qint64 mainIndex = isZip ? SplitArchiveDetector::kZipPrimaryIndex : 1;

    SplitArchiveDescriptor descriptor{.originalURL = selectedURL,
                                      .directoryURL = directoryURL,
                                      .archiveName = selectedMatch.displayName,
                                      .format = selectedMatch.format,
                                      .namingIssueMessages = namingIssueMessages};
    for (qint64 index : expectedIndexes(selectedMatch.format, sortedIndexes, minIndex, maxIndex)) {
        const bool isZipMain = isZip && index == SplitArchiveDetector::kZipPrimaryIndex;
        const QString expectedName =
            isZipMain ? selectedMatch.expectedPrimaryFileName : selectedMatch.expectedFileName(index);
        SplitArchivePart part{.index = index,
                              .displayNumber = isZipMain ? QStringLiteral(u"主卷") : QString::number(index),
                              .expectedFileName = expectedName,
                              .isPrimary = index == mainIndex};
        const auto group = groups.constFind(index);
        if (group == groups.cend()) {
            descriptor.missingPartFileNames << expectedName;
            part.id = QStringLiteral("missing-") + QString::number(index) + QLatin1Char('-') + expectedName;
            part.status = SplitArchivePartStatus::missing(expectedName);
            descriptor.parts << part;
            continue;
        }
        const bool duplicated = group->size() > 1;
        if (duplicated) descriptor.duplicatePartFileNames << expectedName;
        const MatchedPart chosen = chosenFile(*group);
        const FileFacts facts = fileFacts(chosen.url);
        if (!facts.readable)
            descriptor.unreadablePartFileNames << FileNameHelper::lastPathComponent(chosen.url);
        part.id = chosen.url;
        part.url = chosen.url;
        part.byteSize = facts.byteSize;
        if (duplicated) {
            part.status = SplitArchivePartStatus::duplicate(QStringLiteral(u"检测到重复分卷「") +
                                                            expectedName + QStringLiteral(u"」"));
        } else {
            part.status = facts.readable ? SplitArchivePartStatus::found()
                                         : SplitArchivePartStatus::warning(QStringLiteral(u"文件不可读取"));
        }
        descriptor.parts << part;
    }
    std::stable_sort(descriptor.parts.begin(), descriptor.parts.end(),
                     [](const SplitArchivePart& a, const SplitArchivePart& b) { return a.index < b.index; });
    if (groups.contains(mainIndex)) descriptor.primaryPartURL = groups.value(mainIndex).first().url;

    const QString destination = destinationRootURL.value_or(directoryURL);
    descriptor.freeBytesAvailable = freeBytesAvailable(destination);
    qint64 total = 0;
    for (const SplitArchivePart& part : descriptor.parts) total += part.byteSize;
    bool spaceSufficient = true;
    if (total >= 1) {
        descriptor.estimatedRequiredBytes = total;
        const std::optional<qint64>& free = descriptor.freeBytesAvailable;
        spaceSufficient = !free || *free > static_cast<qint64>(static_cast<double>(total) * kSpaceMargin);
    }

    const Verdict result = verdict(descriptor, selectedMatch, outputDirectoryIsWritable(destination),
                                   spaceSufficient, destination);
    descriptor.validationState = result.state;
    descriptor.validationMessage = result.message;
    return descriptor;
}

std::optional<qint64> SplitArchiveValidator::systemFreeBytesAvailable(const QString& path) {
    const QStorageInfo storage(path);
    if (!storage.isValid() || storage.bytesAvailable() < 0) return std::nullopt;
    return storage.bytesAvailable();
}

QList<qint64> SplitArchiveValidator::expectedIndexes(SplitArchiveFormat format,
                                                     const QList<qint64>& sortedIndexes, qint64 minIndex,
                                                     qint64 maxIndex) {
    QList<qint64> indexes;
    qsizetype missingBudget = kMissingPartLimit;
    switch (format) {
        case SplitArchiveFormat::sevenZip:
        case SplitArchiveFormat::rarNew:
        case SplitArchiveFormat::rarOld:
            appendRange(indexes, std::max<qint64>(maxIndex, 1), sortedIndexes, missingBudget);
            break;
        case SplitArchiveFormat::zip: {
            const qint64 main = SplitArchiveDetector::kZipPrimaryIndex;
            QList<qint64> numbered = sortedIndexes;
            numbered.removeAll(main);
            // The main file is always listed, so it takes one place of the budget when it is missing.
            if (!sortedIndexes.contains(main)) --missingBudget;
            // A set whose only numbered volume is name.z00 expects the main file alone.
            qint64 upper = 1;
            if (!numbered.isEmpty()) {
                upper = numbered.last();
            } else if (minIndex >= 1 && minIndex != main) {
                upper = minIndex;
            }
            if (upper >= 1) appendRange(indexes, upper, numbered, missingBudget);
            indexes << main;
            break;
        }
        case SplitArchiveFormat::unsupported:
            break;
    }
    return indexes;
}

std::optional<qint64> SplitArchiveValidator::freeBytesAvailable(const QString& destination) const {
    return m_freeSpace(QFileInfo::exists(destination) ? destination : parentFolder(destination));
}

bool SplitArchiveValidator::outputDirectoryIsWritable(const QString& destination) {
    const QFileInfo info(destination);
    const QString tested = info.exists() && info.isDir() ? destination : parentFolder(destination);
    return ::access(ToolText::encodedName(tested).constData(), W_OK) == 0;
}
