#include "FinderSync.h"
#include "core/base/ArchiveFormat.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/RarExtractor.h"
#include "core/engine/SevenZipExtractor.h"
#include "core/engine/ToolFallback.h"
#include "core/engine/ZipExtractor.h"
#include "platform/ArchiveKindTable.h"
#include "platform/FileManagerEntries.h"
#include "platform/SystemIntegrationService.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {

QString text(std::string_view value) { return QString::fromLatin1(value.data(), qsizetype(value.size())); }

// The value of the first line of `bytes` that starts with "key=".
QString value(const QByteArray& bytes, const QString& key) {
    const QRegularExpression line(QStringLiteral("^") + key + QStringLiteral("=(.*)$"),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(bytes)).captured(1);
}

// The programs the engine runs for a row, by the row's order.
QList<ToolFallback::Program> engineOrder(const ArchiveKindTable::KindRow& row, bool hasPassword) {
    using Table = ArchiveKindTable::Program;
    using Engine = ToolFallback::Program;
    const std::pair<Table, Engine> programs[] = {{Table::sevenZip, Engine::sevenZip},
                                                 {Table::zipReader, Engine::zipReader},
                                                 {Table::unrar, Engine::unrar},
                                                 {Table::infoZip, Engine::infoZip}};
    QList<Engine> order;
    for (const ArchiveKindTable::ProgramStep& step : row.programs) {
        if (step.onlyWithPassword && !hasPassword) continue;
        for (const auto& [table, engine] : programs) {
            if (step.program == table) order.append(engine);
        }
    }
    return order;
}

// The family of the extractor the engine picks for the file.
std::optional<ArchiveKindTable::Family> extractorFamily(const QString& fileURL) {
    for (const std::shared_ptr<ArchiveExtractor>& extractor : ArchiveService::standardExtractors()) {
        if (!extractor->canHandle(fileURL)) continue;
        if (dynamic_cast<ZipExtractor*>(extractor.get())) return ArchiveKindTable::Family::zip;
        if (dynamic_cast<RarExtractor*>(extractor.get())) return ArchiveKindTable::Family::rar;
        if (dynamic_cast<SevenZipExtractor*>(extractor.get())) return ArchiveKindTable::Family::sevenZip;
    }
    return std::nullopt;
}

// Every desktop entry the project installs passes the freedesktop validator.
TEST(DesktopEntryTest, EntriesValidate) {
    const QDir resources(VELMORA_RESOURCES_DIR);
    const QStringList entries = resources.entryList({"*.desktop"}, QDir::Files);
    ASSERT_FALSE(entries.isEmpty());
    for (const QString& entry : entries) {
        QProcess validator;
        validator.start("desktop-file-validate", {resources.filePath(entry)});
        ASSERT_TRUE(validator.waitForFinished()) << "desktop-file-validate is missing (desktop-file-utils)";
        EXPECT_EQ(validator.exitCode(), 0)
            << entry.toStdString() << ": " << validator.readAllStandardOutput().toStdString();
    }
}

// The installed desktop entry, every list of kinds the desktop integration keeps, and the engine's
// extractor, programs and editing say what the table of kinds says, and no more.
TEST(DesktopEntryTest, EntryAndEveryListAgreeWithTheKindTable) {
    QStringList mimeTypes, extractTypes, extractSuffixes, statusTypes;
    for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
        for (const ArchiveKindTable::MimeType& type : row.mimeTypes) {
            if (!type.name.empty()) mimeTypes.append(text(type.name));
            if (!type.statusName.empty()) statusTypes.append(text(type.name));
        }
        if (row.fileManagerExtract) extractTypes.append(text(row.mimeTypes[0].name));
        for (const std::string_view suffix : row.suffixes) {
            if (suffix.empty()) continue;
            const QString name = QStringLiteral("/d/x.") + text(suffix);
            EXPECT_EQ(ArchiveFormat::kind(name), row.kind) << name.toStdString();
            EXPECT_EQ(FinderSync::namesOnlyArchives({name}), row.fileManagerExtract) << name.toStdString();
            EXPECT_EQ(extractorFamily(name), row.family) << name.toStdString();
            EXPECT_EQ(ArchiveFormat::isEditable(name), row.editable) << name.toStdString();
            for (const bool hasPassword : {false, true})
                EXPECT_EQ(ToolFallback::order(name, hasPassword), engineOrder(row, hasPassword))
                    << name.toStdString();
            if (row.fileManagerExtract) extractSuffixes.append(text(suffix));
        }
    }

    QFile entry(QStringLiteral(VELMORA_RESOURCES_DIR "/com.velmora.pro.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(value(entry.readAll(), "MimeType"), mimeTypes.join(';') + ";x-scheme-handler/velmora;");

    QHash<QString, QByteArray> contents;
    for (const auto& written : FileManagerEntries("/h").entries())
        contents.insert(written.path.section('/', -1), written.contents);
    EXPECT_EQ(value(contents.value("com.velmora.pro.extract.desktop"), "MimeType"),
              extractTypes.join(';') + ';');
    EXPECT_EQ(value(contents.value("com.velmora.pro.extract.nemo_action"), "Extensions"),
              extractSuffixes.join(';') + ';');

    QStringList identifiers;
    for (const SystemIntegrationService::ArchiveType& type : SystemIntegrationService::archiveTypes()) {
        identifiers.append(type.identifier);
        EXPECT_EQ(type.keys.first(), type.identifier);
        for (const QString& key : type.keys) EXPECT_TRUE(mimeTypes.contains(key)) << key.toStdString();
    }
    EXPECT_EQ(identifiers, statusTypes);
}

}  // namespace
