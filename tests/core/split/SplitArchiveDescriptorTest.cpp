#include "core/base/JsonDecodingError.h"
#include "core/split/SplitArchiveDescriptor.h"
#include "core/split/SplitArchiveExtractionCoordinator.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

SplitArchivePart part(qint64 index, bool found) {
    const QString name = QStringLiteral("a.7z.%1").arg(index, 3, 10, QLatin1Char('0'));
    if (!found) {
        return {.id = QStringLiteral("missing-%1-").arg(index) + name,
                .index = index,
                .displayNumber = QString::number(index),
                .expectedFileName = name,
                .isPrimary = index == 1,
                .status = SplitArchivePartStatus::missing(name)};
    }
    return {.id = "/set/" + name,
            .index = index,
            .displayNumber = QString::number(index),
            .expectedFileName = name,
            .url = "/set/" + name,
            .byteSize = 100,
            .isPrimary = index == 1,
            .status = SplitArchivePartStatus::found()};
}

SplitArchiveDescriptor fivePartsTwoMissing() {
    return {.originalURL = "/set/a.7z.001",
            .directoryURL = "/set",
            .archiveName = "a.7z",
            .format = SplitArchiveFormat::sevenZip,
            .primaryPartURL = "/set/a.7z.001",
            .parts = {part(1, true), part(2, false), part(3, true), part(4, false), part(5, true)},
            .missingPartFileNames = {"a.7z.002", "a.7z.004"},
            .validationState = SplitArchiveValidationState::missingParts,
            .validationMessage = QStringLiteral(u"缺少"),
            .estimatedRequiredBytes = 300};
}

TEST(SplitArchiveDescriptor, MetadataCountsPartsAndNamesTheFormat) {
    SplitArchiveDescriptor descriptor = fivePartsTwoMissing();
    EXPECT_EQ(descriptor.foundPartCount(), 3);
    ArchiveTaskMetadata metadata = SplitArchiveExtractionCoordinator::metadata(descriptor, "/out");
    const ArchiveTaskMetadata expected{.archiveFormat = QStringLiteral(u"7Z 分卷压缩包"),
                                       .primaryPartPath = "/set/a.7z.001",
                                       .totalPartCount = 5,
                                       .foundPartCount = 3,
                                       .destinationPath = "/out",
                                       .validationStatus = QStringLiteral(u"缺少分卷")};
    EXPECT_EQ(metadata, expected);

    descriptor.format = SplitArchiveFormat::rarOld;
    descriptor.originalURL = "/set/a.r00";
    descriptor.primaryPartURL.reset();
    metadata = SplitArchiveExtractionCoordinator::metadata(descriptor, "/out");
    EXPECT_EQ(metadata.archiveFormat, QStringLiteral(u"RAR 分卷压缩包"));
    EXPECT_FALSE(metadata.primaryPartPath.has_value());
}

TEST(SplitArchiveDescriptor, JsonFormOfStatusesAndDescriptors) {
    EXPECT_EQ(QJsonDocument(SplitArchivePartStatus::found().toJson()).toJson(QJsonDocument::Compact),
              R"({"found":{}})");
    EXPECT_EQ(QJsonDocument(SplitArchivePartStatus::missing("a").toJson()).toJson(QJsonDocument::Compact),
              R"({"missing":{"expectedFileName":"a"}})");
    try {
        SplitArchivePartStatus::fromJson(QJsonObject{{"found", QJsonObject{}}, {"warning", QJsonObject{}}});
        ADD_FAILURE() << "two keys decoded";
    } catch (const JsonDecodingError& error) {
        EXPECT_EQ(error.message(), "Invalid number of keys found, expected one.");
    }

    const SplitArchiveDescriptor descriptor = fivePartsTwoMissing();
    const QJsonObject json = descriptor.toJson();
    EXPECT_EQ(json.value("originalURL").toString(), "file:///set/a.7z.001");
    EXPECT_FALSE(json.contains("freeBytesAvailable"));
    EXPECT_FALSE(json.value("parts").toArray()[1].toObject().contains("url"));
    EXPECT_EQ(SplitArchiveDescriptor::fromJson(json), descriptor);
}

}  // namespace
