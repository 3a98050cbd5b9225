#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/ExclusiveRename.h"
#include "core/engine/ArchiveError.h"
#include "support/FakeTool.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}
inline void PrintTo(const ArchiveError& error, std::ostream* stream) {
    *stream << int(error.kind()) << " \"" << error.message().toStdString() << '"';
}

// Archive programs used to make fixtures.
inline const QString kSevenZip = QStringLiteral("/usr/bin/7zz");
inline const QString kZip = QStringLiteral("/usr/bin/zip");
inline const QString kRar = QStringLiteral("/usr/bin/rar");
inline const QString kTar = QStringLiteral("/usr/bin/tar");

// A small tree with a nested folder, a Chinese name and a hidden file, under <tree>/<folder>.
// Archives are made from inside <tree>/<folder>, so they hold these entries at their top.
void writeSample(TempTree& tree, const QString& folder);

// Fails the current test unless every sample entry is under root with its contents.
void expectSample(const QString& root);

// Tests on archives of the sample tree, which set-up writes to <tree>/src.
class SampleArchiveTest : public testing::Test {
protected:
    void SetUp() override;

    // Runs program with switches, the archive path <tree>/<name> and "." inside the sample folder.
    QString archiveOfSample(const QString& program, const QStringList& switches, const QString& name);

    TempTree m_tree;
};

// The ArchiveError that operation throws; nothing when it throws none. Other failures escape.
std::optional<ArchiveError> thrownArchiveError(const std::function<void()>& operation);

// The message of the VelmoraError that operation throws; nothing when it throws none.
std::optional<QString> thrownMessage(const std::function<void()>& operation);

// Runs operation on another thread, cancels its token once the fake tool has started, and tells
// whether the operation then stopped with CancellationError.
bool stopsWithCancellation(const FakeTool& tool,
                           const std::function<void(const CancellationToken&)>& operation);

// The recorded run with the private extraction folder inside destination written as destination
// itself: the tools extract there first.
QStringList withStagingAsDestination(QStringList run, const QString& destination);

// Files of a folder tree by relative path; folders appear with a trailing "/" and no bytes.
QMap<QString, QByteArray> treeContents(const QString& folder);

// Unpacks any archive velmora creates with the real tools (tar for .tar.gz, else 7zz) into a new folder
// and returns its contents.
QMap<QString, QByteArray> extractedContents(const QString& archive, const QString& password = {});

// The exit status of a tool run with no input.
int toolStatus(const QString& program, const QStringList& arguments);

// Points the private temporary base and the work journal at folders of the test's own, so staging
// folders can be counted.
class CompressionTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // UUID folders left under velmoraCompression.
    QStringList stagingFolders() const;

    TempTree tree;

private:
    std::unique_ptr<TempTree> m_temp;
    std::optional<QByteArray> m_stateHome;
};

// Whether work died by SIGKILL in a child: its own, or sent itself after `moves` ExclusiveRename moves.
bool killedAfterMoves(int moves, const std::function<void()>& work);

// While it lives, ExclusiveRename acts as on a file system without RENAME_NOREPLACE (many FUSE and
// network mounts); given an error number, its plain renames fail with that error too. fat acts as
// fusefat: a folder renamed over another, even an empty one, fails with EPERM, and one renamed to a free
// name loses what it holds.
class WithoutRenameNoReplace {
public:
    explicit WithoutRenameNoReplace(int renameError = 0, bool fat = false);
    // Each plain rename goes to step with its number from 1 and its target, and fails with the errno
    // step returns (0: the real rename). calls() counts them.
    explicit WithoutRenameNoReplace(std::function<int(int call, const QString& to)> step);
    static int calls();
    ~WithoutRenameNoReplace();
    WithoutRenameNoReplace(const WithoutRenameNoReplace&) = delete;
    WithoutRenameNoReplace& operator=(const WithoutRenameNoReplace&) = delete;

private:
    ExclusiveRename::SystemCalls m_saved;
};
