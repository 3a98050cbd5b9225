#include "views/main/SplitExtractPageRules.h"

#include "core/base/FileNameHelper.h"
#include "platform/ByteCountFormatter.h"

namespace SplitExtractPageRules {

Theme::Colour validationColour(SplitArchiveValidationState state) {
    switch (state) {
        case SplitArchiveValidationState::complete:
            return Theme::Colour::green;
        case SplitArchiveValidationState::unsupported:
            return Theme::Colour::secondary;
        case SplitArchiveValidationState::scanning:
            return Theme::Colour::blue;
        case SplitArchiveValidationState::missingParts:
        case SplitArchiveValidationState::duplicateParts:
        case SplitArchiveValidationState::namingMismatch:
        case SplitArchiveValidationState::missingPrimary:
        case SplitArchiveValidationState::unreadableParts:
        case SplitArchiveValidationState::outputNotWritable:
        case SplitArchiveValidationState::insufficientDiskSpace:
            break;
    }
    return Theme::Colour::orange;
}

QString splitArchiveTotalSizeDescription(const SplitArchiveDescriptor& descriptor) {
    qint64 total = 0;
    for (const SplitArchivePart& part : descriptor.parts) total += part.byteSize;
    return total == 0 ? QStringLiteral("-") : ByteCountFormatter::fileStyle(total);
}

QString primaryName(const SplitArchiveDescriptor& descriptor) {
    if (!descriptor.primaryPartURL) return descriptor.archiveName;
    return FileNameHelper::shownName(*descriptor.primaryPartURL);
}

Theme::Colour missingCountColour(qsizetype missingCount) {
    return missingCount > 0 ? Theme::Colour::orange : Theme::Colour::green;
}

DropZoneContent dropZoneContent(const SplitArchivePageState& state) {
    switch (state.kind()) {
        case SplitArchivePageState::Case::scanning:
            return DropZoneContent::scanning;
        case SplitArchivePageState::Case::regularArchiveDetected:
            return DropZoneContent::notSplitArchive;
        case SplitArchivePageState::Case::failed:
        case SplitArchivePageState::Case::initial:
        case SplitArchivePageState::Case::recognized:
        case SplitArchivePageState::Case::incomplete:
            break;
    }
    return DropZoneContent::prompt;
}

EmptyInfo emptyInfo(const SplitArchivePageState& state) {
    if (state.kind() == SplitArchivePageState::Case::scanning)
        return {QStringLiteral(u"正在扫描同目录中的关联分卷…"), QStringLiteral("magnifier")};
    return {QStringLiteral(u"还没有选择分卷压缩包"), QStringLiteral("document-zip")};
}

namespace {

QString detailText(const SplitArchivePartStatus& status) {
    switch (status.statusCase()) {
        case SplitArchivePartStatus::Case::missing:
            return QStringLiteral(u"缺少 ") + status.text();
        case SplitArchivePartStatus::Case::duplicate:
        case SplitArchivePartStatus::Case::warning:
            return status.text();
        case SplitArchivePartStatus::Case::found:
            break;
    }
    return {};
}

}  // namespace

PartRowLook partRowLook(const SplitArchivePart& part) {
    PartRowLook look;
    look.fileName = part.url ? FileNameHelper::shownName(*part.url) : part.expectedFileName;
    look.detail = detailText(part.status);
    switch (part.status.statusCase()) {
        case SplitArchivePartStatus::Case::found:
            look.leadingSymbol = QStringLiteral("document-zip");
            look.trailingSymbol =
                part.isPrimary ? QStringLiteral("check-circle-filled") : QStringLiteral("check-circle");
            look.symbolColour = part.isPrimary ? Theme::Colour::accent : Theme::Colour::green;
            look.borderColour = Theme::Colour::green;
            look.borderOpacity = 0.1;
            break;
        case SplitArchivePartStatus::Case::missing:
            look.leadingSymbol = QStringLiteral("question-square");
            look.trailingSymbol = QStringLiteral("cross-circle");
            look.symbolColour = Theme::Colour::orange;
            look.borderColour = Theme::Colour::orange;
            look.borderOpacity = 0.55;
            break;
        case SplitArchivePartStatus::Case::duplicate:
        case SplitArchivePartStatus::Case::warning:
            look.leadingSymbol = QStringLiteral("warning-triangle-filled");
            look.trailingSymbol = QStringLiteral("exclamation-circle");
            look.symbolColour = Theme::Colour::orange;
            look.borderColour = Theme::Colour::orange;
            look.borderOpacity = 0.55;
            break;
    }
    // The primary volume stands out whatever its state.
    if (part.isPrimary) {
        look.borderColour = Theme::Colour::accent;
        look.borderOpacity = 0.75;
    }
    return look;
}

}  // namespace SplitExtractPageRules
