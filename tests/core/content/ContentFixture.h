#pragma once

#include "core/content/ArchivePreviewEntry.h"
#include "core/content/ArchivePreviewService.h"
#include "support/FakePrograms.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <functional>

// The entries' paths, in listing order.
QStringList paths(const QList<ArchivePreviewEntry>& entries);
// The list in ascending order, for comparing listings whose order is the tool's.
QStringList sorted(QStringList list);

// A folder of sample files, archives made from it with the real tools, and previews kept inside the
// test's own folder. The sample has the names that tools like to misread: "*.txt" and "-x.txt".
class ContentFixture : public testing::Test {
protected:
    ContentFixture();
    ~ContentFixture() override;

    // Run the tools in the sample folder on m_items.
    QString sevenZipArchive(const QString& name, const QStringList& switches = {});
    QString rarArchive(const QString& name, const QStringList& switches = {});

    // The entry paths as 7-Zip's technical listing gives them.
    static QStringList listedPaths(const QString& archive);

    static ArchivePreviewEntry entry(const QString& path);

    // The error the operation throws; a test failure when it throws none.
    static ArchiveError failure(const std::function<void()>& operation);

    static const QStringList kSampleItems;
    static const QStringList kSamplePaths;  // every entry of an archive of kSampleItems, sorted

    // What is left in the private folder of unrar's archive aliases.
    QStringList rarAliasFolders() const;

    // Writes sample/<name> and puts it first in m_items, so that it fills the first volume.
    void addSampleFile(const QString& name, const QByteArray& contents);

    TempTree m_tree;
    // The installed programs, for a test to take away or replace before it makes a service of them.
    FakePrograms m_programs;
    QString m_sample;
    QStringList m_items = kSampleItems;
    CancellationToken m_token;
};
