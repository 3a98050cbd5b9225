#pragma once

#include "core/engine/ArchiveError.h"
#include "support/FakeTool.h"
#include "support/TempTree.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Archive programs used to make fixtures.
inline const QString kSevenZip = QStringLiteral("/usr/bin/7zz");
inline const QString kZip = QStringLiteral("/usr/bin/zip");
inline const QString kRar = QStringLiteral("/usr/bin/rar");
inline const QString kTar = QStringLiteral("/usr/bin/tar");

// A small tree with a nested folder, a Chinese name and a hidden file, under <tree>/<folder>.
// Archives are made from inside <tree>/<folder>, so they hold the entries of sampleEntries().
void writeSample(TempTree& tree, const QString& folder);
QStringList sampleEntries();

// Fails the current test unless every sample entry is under root with its contents.
void expectSample(const QString& root);

// The kind of ArchiveError that operation throws; nothing when it throws none. Other failures escape.
std::optional<ArchiveError::Kind> archiveErrorKind(const std::function<void()>& operation);

// Points the application's resources folder at a temporary folder for the test's length, so fake
// tools placed in its Tools/ folder win over the machine's programs.
class FakeBundle {
public:
    FakeBundle();
    ~FakeBundle();
    FakeBundle(const FakeBundle&) = delete;
    FakeBundle& operator=(const FakeBundle&) = delete;

    FakeTool addTool(const QString& name, const QString& body);

private:
    TempTree m_tree;
};

// Waits (with a deadline) until a fake tool has been started at least once.
bool waitUntilStarted(const FakeTool& tool);
