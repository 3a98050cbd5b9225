#pragma once

#include "core/engine/ArchivePrograms.h"
#include "support/FakeTool.h"
#include "support/TempTree.h"

#include <QString>

// The archive programs a test hands to the engine or the content service: the installed ones, any of
// which a fake tool can replace or the test can take away.
class FakePrograms {
public:
    FakePrograms();

    // Writes a fake program that stands for the one called name: "7zz", "unrar", "zip", "unzip" or
    // "tar". Adding the same name again rewrites it.
    FakeTool addTool(const QString& name, const QString& body);
    // The program called name is not installed.
    void remove(const QString& name);

    const ArchivePrograms& programs() const { return m_programs; }

private:
    ArchivePrograms::Locator& locator(const QString& name);

    TempTree m_tree;
    ArchivePrograms m_programs = ArchivePrograms::installed();
};
