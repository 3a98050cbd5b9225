#include "core/split/SplitArchiveExtractionCoordinator.h"

#include "core/base/ArchiveFormat.h"

namespace SplitArchiveExtractionCoordinator {

ArchiveTaskMetadata metadata(const SplitArchiveDescriptor& descriptor, const QString& destinationURL) {
    return {
        .archiveFormat = archiveFormatText(descriptor),
        .primaryPartPath = descriptor.primaryPartURL,
        .totalPartCount = descriptor.parts.size(),
        .foundPartCount = descriptor.foundPartCount(),
        .destinationPath = destinationURL,
        .validationStatus = SplitArchiveValidationStates::title(descriptor.validationState),
    };
}

QString archiveFormatText(const SplitArchiveDescriptor& descriptor) {
    if (descriptor.format != SplitArchiveFormat::unsupported) {
        if (const std::optional<ArchiveFormat::Kind> kind =
                ArchiveFormat::kindOrSetKind(descriptor.originalURL))
            return ArchiveFormat::displayName(*kind) + QStringLiteral(u" 分卷压缩包");
    }
    return archiveFormatText(descriptor.format);
}

QString archiveFormatText(SplitArchiveFormat format) {
    switch (format) {
        case SplitArchiveFormat::sevenZip:
            return QStringLiteral(u"7Z 分卷压缩包");
        case SplitArchiveFormat::rarNew:
        case SplitArchiveFormat::rarOld:
            return QStringLiteral(u"RAR 分卷压缩包");
        case SplitArchiveFormat::zip:
            return QStringLiteral(u"ZIP 分卷压缩包");
        case SplitArchiveFormat::unsupported:
            return QStringLiteral(u"不支持的分卷格式");
    }
    return {};
}

}  // namespace SplitArchiveExtractionCoordinator
