#include "CompressionFixtures.h"

#include "platform/PrivateTempDirectory.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

QMap<QString, QByteArray> treeContents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        if (entries.fileInfo().isDir()) {
            contents.insert(relative + QLatin1Char('/'), {});
            continue;
        }
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        contents.insert(relative, file.readAll());
    }
    return contents;
}

QMap<QString, QByteArray> extractedContents(const QString& archive, const QString& password) {
    QTemporaryDir output;
    if (archive.endsWith(QStringLiteral(".tar.gz"))) {
        runTool(QStringLiteral("/usr/bin/tar"),
                {QStringLiteral("-xzf"), archive, QStringLiteral("-C"), output.path()});
    } else {
        runTool(QStringLiteral("/usr/bin/7zz"),
                {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-p") + password,
                 QStringLiteral("-o") + output.path(), archive});
    }
    return treeContents(output.path());
}

int toolStatus(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void CompressionTest::SetUp() {
    m_temp = std::make_unique<TempTree>();
    PrivateTempDirectory::setSystemTempPathForTesting(m_temp->root());
}

void CompressionTest::TearDown() { PrivateTempDirectory::setSystemTempPathForTesting({}); }

QStringList CompressionTest::stagingFolders() const {
    const std::optional<QString> base = PrivateTempDirectory::base();
    if (!base) return {};
    return QDir(*base + QStringLiteral("/velmoraCompression"))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}
