#include "ExtractionFixtures.h"

#include "platform/AppBundle.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {
struct SampleFile {
    const char* path;
    const char* contents;
};

const SampleFile kSampleFiles[] = {
    {"readme.txt", "top level\n"},
    {"docs/notes.txt", "nested notes\n"},
    {"数据/报告 一.txt", "中文内容\n"},
    {".hidden", "dot file\n"},
};
}  // namespace

void writeSample(TempTree& tree, const QString& folder) {
    for (const SampleFile& file : kSampleFiles) {
        tree.writeFile(folder + QLatin1Char('/') + QString::fromUtf8(file.path), file.contents);
    }
}

QStringList sampleEntries() {
    QStringList entries;
    for (const SampleFile& file : kSampleFiles) entries << QString::fromUtf8(file.path);
    return entries;
}

void expectSample(const QString& root) {
    for (const SampleFile& file : kSampleFiles) {
        QFile extracted(root + QLatin1Char('/') + QString::fromUtf8(file.path));
        ASSERT_TRUE(extracted.open(QIODevice::ReadOnly)) << extracted.fileName().toStdString();
        EXPECT_EQ(extracted.readAll(), QByteArray(file.contents)) << extracted.fileName().toStdString();
    }
}

std::optional<ArchiveError::Kind> archiveErrorKind(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const ArchiveError& error) {
        return error.kind();
    }
    return std::nullopt;
}

FakeBundle::FakeBundle() { AppBundle::setResourcesPath(m_tree.root()); }

FakeBundle::~FakeBundle() { AppBundle::resetResourcesPath(); }

FakeTool FakeBundle::addTool(const QString& name, const QString& body) {
    return FakeTool(m_tree.path(QStringLiteral("Tools")), name, body);
}

bool waitUntilStarted(const FakeTool& tool) {
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(tool.path() + QStringLiteral(".argv"))) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(5);
    }
    return true;
}
