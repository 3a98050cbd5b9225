#include "ExtractionFixtures.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CancellationError.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

AppSettings settingsWith(bool separateFolder, bool deleteSource) {
    AppSettings settings;
    settings.extractToSeparateFolder = separateFolder;
    settings.deleteSourceAfterExtract = deleteSource;
    return settings;
}

class ArchiveServiceTest : public testing::Test {
protected:
    void SetUp() override { writeSample(m_tree, QStringLiteral("src")); }

    // An archive of the sample tree, made by the tool that produces its kind.
    QString archive(const QString& name) {
        const QString path = m_tree.path(QStringLiteral("in/") + name);
        QDir().mkpath(m_tree.path(QStringLiteral("in")));
        const QString source = m_tree.path(QStringLiteral("src"));
        if (name.endsWith(QLatin1String(".zip"))) {
            runTool(kZip, {QStringLiteral("-q"), QStringLiteral("-r"), path, QStringLiteral(".")}, source);
        } else if (name.endsWith(QLatin1String(".rar"))) {
            runTool(kRar,
                    {QStringLiteral("a"), QStringLiteral("-idq"), QStringLiteral("-r"), path,
                     QStringLiteral(".")},
                    source);
        } else if (name.endsWith(QLatin1String(".tar.gz"))) {
            runTool(kTar, {QStringLiteral("-czf"), path, QStringLiteral(".")}, source);
        } else {
            runTool(kSevenZip, {QStringLiteral("a"), path, QStringLiteral(".")}, source);
        }
        return path;
    }

    QString out(const QString& relative = {}) const { return m_tree.path(QStringLiteral("out/") + relative); }

    QStringList extract(const QStringList& archives, const AppSettings& settings,
                        const std::optional<QString>& password = std::nullopt) {
        return m_service.extract(archives, m_tree.path(QStringLiteral("out")), password, settings, 2, {});
    }

    TempTree m_tree;
    ArchiveService m_service{ArchiveService::standardExtractors(), nullptr};
};

TEST_F(ArchiveServiceTest, SeparateFoldersAreNamedAfterArchivesAndMadeUnique) {
    const QStringList archives = {archive(QStringLiteral("a.zip")), archive(QStringLiteral("a.7z")),
                                  archive(QStringLiteral("photos.tar.gz")), archive(QStringLiteral("a.rar"))};
    EXPECT_EQ(extract(archives, settingsWith(true, false)),
              (QStringList{out("a"), out("a 1"), out("photos"), out("a 2")}));
    for (const char* folder : {"a", "a 1", "photos", "a 2"}) expectSample(out(folder));
    for (const QString& source : archives) EXPECT_TRUE(QFile::exists(source));
}

}  // namespace
