#include "core/base/EnumRawValues.h"
#include "core/base/JsonFields.h"
#include "core/state/AppNotificationItem.h"
#include "core/state/ArchiveHistoryRecord.h"
#include "core/state/ArchiveTask.h"
#include "core/state/WorkbenchSection.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QTimeZone>

namespace {

QDateTime utc(int year, int month, int day, int hour, int minute, int second, int msec = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), QTimeZone::utc());
}

ArchiveTask sampleTask() {
    return {
        .id = QUuid::fromString(QStringLiteral("0b8e6f3a-5c1d-4e2f-9a7b-3c4d5e6f7a8b")),
        .name = QStringLiteral(u"照片.zip"),
        .path = QStringLiteral("/home/u/Downloads"),
        .kind = ArchiveActivityKind::splitCompression,
        .status = ArchiveActivityStatus::running,
        .progress = 0.08,
        .sizeDescription = QStringLiteral("12 MB"),
        .targetPath = QStringLiteral("/home/u/out"),
        .createdAt = utc(2026, 3, 1, 8, 5, 9),
        .updatedAt = utc(2026, 3, 1, 8, 6, 0),
        .message = QStringLiteral(u"正在压缩"),
        .metadata =
            ArchiveTaskMetadata{.totalPartCount = 3,
                                .sourcePaths = QStringList{QStringLiteral("/a"), QStringLiteral("/b")},
                                .splitSizeBytes = 5'368'709'120,
                                .encryptionEnabled = false},
    };
}

QJsonObject parseObject(const char* json) { return QJsonDocument::fromJson(QByteArray(json)).object(); }

std::optional<QList<ArchiveTask>> decodeTasks(const QByteArray& bytes) {
    return JsonFields::decodeArray<ArchiveTask>(bytes, &ArchiveTask::fromJson);
}

TEST(WorkbenchRecords, TaskJsonUsesUpperCaseIdsRawValuesAndWholeSecondUtcDates) {
    const QJsonObject json = sampleTask().toJson();
    EXPECT_EQ(json.value("id").toString(), "0B8E6F3A-5C1D-4E2F-9A7B-3C4D5E6F7A8B");
    EXPECT_EQ(json.value("kind").toString(), "splitCompression");
    EXPECT_EQ(json.value("status").toString(), "running");
    EXPECT_EQ(json.value("createdAt").toString(), "2026-03-01T08:05:09Z");
    const QJsonObject metadata = json.value("metadata").toObject();
    EXPECT_EQ(metadata.keys(),
              (QStringList{"encryptionEnabled", "sourcePaths", "splitSizeBytes", "totalPartCount"}));
    EXPECT_EQ(metadata.value("splitSizeBytes").toInteger(), 5'368'709'120);

    EXPECT_EQ(ArchiveTask::fromJson(json), sampleTask());
}

TEST(WorkbenchRecords, AbsentMetadataIsLeftOutAndEmptyMetadataRoundTrips) {
    ArchiveTask task = sampleTask();
    task.metadata.reset();
    EXPECT_FALSE(task.toJson().contains("metadata"));
    EXPECT_EQ(ArchiveTask::fromJson(task.toJson()), task);

    EXPECT_TRUE(ArchiveTaskMetadata{}.toJson().isEmpty());
    EXPECT_EQ(ArchiveTaskMetadata::fromJson(QJsonObject{}), ArchiveTaskMetadata{});

    QJsonObject nullMetadata = task.toJson();
    nullMetadata.insert("metadata", QJsonValue::Null);
    EXPECT_FALSE(ArchiveTask::fromJson(nullMetadata).metadata.has_value());
}

TEST(WorkbenchRecords, SubSecondPartsAreDroppedOnEncoding) {
    ArchiveTask task = sampleTask();
    task.createdAt = utc(2026, 3, 1, 8, 5, 9, 750);
    EXPECT_EQ(task.toJson().value("createdAt").toString(), "2026-03-01T08:05:09Z");
    const ArchiveTask readBack = ArchiveTask::fromJson(task.toJson());
    EXPECT_EQ(readBack.createdAt, utc(2026, 3, 1, 8, 5, 9));
    EXPECT_NE(readBack, task);
}

TEST(WorkbenchRecords, DecodingAcceptsLowerCaseIdsOffsetsAndUnknownKeys) {
    QJsonObject json = sampleTask().toJson();
    json.insert("id", "0b8e6f3a-5c1d-4e2f-9a7b-3c4d5e6f7a8b");
    json.insert("createdAt", "2026-03-01T16:05:09+08:00");
    json.insert("somethingNew", QJsonArray{1, 2});
    QJsonObject metadata = json.value("metadata").toObject();
    metadata.insert("futureField", "x");
    json.insert("metadata", metadata);
    EXPECT_EQ(ArchiveTask::fromJson(json), sampleTask());
}

// Each case spoils one member of an otherwise valid task; any one of them fails the whole list.
TEST(WorkbenchRecords, StrictDecodingRejectsTheWholeList) {
    struct Case {
        const char* member;
        QJsonValue value;
    };
    const Case cases[] = {
        {"id", "0B8E6F3A5C1D4E2F9A7B3C4D5E6F7A8B"},
        {"id", "{0B8E6F3A-5C1D-4E2F-9A7B-3C4D5E6F7A8B}"},
        {"name", QJsonValue::Null},
        {"name", 5},
        {"kind", "Extract"},
        {"kind", "unpack"},
        {"status", "done"},
        {"progress", "0.5"},
        {"createdAt", "2026-03-01T08:05:09.250Z"},
        {"createdAt", "2026-03-01 08:05:09Z"},
        {"createdAt", "2026-02-30T08:05:09Z"},
        {"updatedAt", 794000000},
        {"metadata", "none"},
        {"metadata", QJsonObject{{"totalPartCount", 2.5}}},
        {"metadata", QJsonObject{{"encryptionEnabled", 1}}},
        {"metadata", QJsonObject{{"sourcePaths", QJsonArray{"/a", 3}}}},
    };
    for (const Case& spoiled : cases) {
        QJsonObject json = sampleTask().toJson();
        json.insert(spoiled.member, spoiled.value);
        const QByteArray list =
            QJsonDocument(QJsonArray{sampleTask().toJson(), json}).toJson(QJsonDocument::Compact);
        EXPECT_FALSE(decodeTasks(list).has_value()) << list.toStdString();
    }

    QJsonObject missing = sampleTask().toJson();
    missing.remove("message");
    EXPECT_FALSE(decodeTasks(QJsonDocument(QJsonArray{missing}).toJson()).has_value());
    EXPECT_FALSE(decodeTasks("{}").has_value());
    EXPECT_FALSE(decodeTasks("[").has_value());
    EXPECT_EQ(decodeTasks("[]"), QList<ArchiveTask>{});
}

TEST(WorkbenchRecords, HistoryAndNotificationRoundTrip) {
    const ArchiveHistoryRecord record{
        .id = QUuid::createUuid(),
        .fileName = "a.7z",
        .path = "/tmp",
        .kind = ArchiveActivityKind::extract,
        .status = ArchiveActivityStatus::failed,
        .createdAt = utc(2026, 1, 2, 3, 4, 5),
        .sizeDescription = "-",
        .message = QStringLiteral(u"密码错误"),
        .metadata = std::nullopt,
    };
    EXPECT_EQ(ArchiveHistoryRecord::fromJson(record.toJson()), record);
    EXPECT_FALSE(record.toJson().contains("metadata"));

    const AppNotificationItem item{.id = QUuid::createUuid(),
                                   .title = "t",
                                   .message = "m",
                                   .createdAt = utc(2026, 1, 2, 3, 4, 5),
                                   .isRead = false};
    EXPECT_EQ(AppNotificationItem::fromJson(item.toJson()), item);
    AppNotificationItem read = item;
    read.isRead = true;
    EXPECT_NE(read, item);

    EXPECT_THROW(AppNotificationItem::fromJson(
                     parseObject(R"({"id":"0B8E6F3A-5C1D-4E2F-9A7B-3C4D5E6F7A8B","title":"t","message":"m",)"
                                 R"("createdAt":"2026-01-02T03:04:05Z","isRead":0})")),
                 JsonDecodingError);
}

TEST(WorkbenchRecords, TextsCompareByCanonicalEquivalence) {
    ArchiveTask composed = sampleTask();
    composed.name = QStringLiteral(u"caf\u00e9");
    ArchiveTask decomposed = composed;
    decomposed.name = QStringLiteral(u"cafe\u0301");
    EXPECT_EQ(composed, decomposed);
}

TEST(WorkbenchRecords, SectionsInSidebarOrderWithTheirTexts) {
    QStringList raw;
    for (WorkbenchSection section : WorkbenchSections::allCases()) raw << EnumRawValues::rawValue(section);
    EXPECT_EQ(raw, (QStringList{"home", "compress", "extract", "splitCompress", "splitExtract",
                                "passwordBook", "tasks", "history", "settings", "about"}));
    EXPECT_EQ(WorkbenchSections::title(WorkbenchSection::passwordBook), QStringLiteral(u"密码本"));
    EXPECT_EQ(WorkbenchSections::iconName(WorkbenchSection::splitExtract), "layers-down-right");
    EXPECT_EQ(EnumRawValues::fromRawValue<WorkbenchSection>("history"), WorkbenchSection::history);
    EXPECT_FALSE(EnumRawValues::fromRawValue<WorkbenchSection>("History").has_value());
}

}  // namespace
