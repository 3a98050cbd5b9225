#pragma once

#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}

// Files of a folder tree by relative path; folders appear with a trailing "/" and no bytes.
QMap<QString, QByteArray> treeContents(const QString& folder);

// Unpacks any archive velmora creates with the real tools (tar for .tar.gz, else 7zz) into a new folder
// and returns its contents.
QMap<QString, QByteArray> extractedContents(const QString& archive, const QString& password = {});

// The exit status of a tool run with no input.
int toolStatus(const QString& program, const QStringList& arguments);

// Points the private temporary base at a folder of the test's own, so staging folders can be counted.
class CompressionTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // UUID folders left under velmoraCompression.
    QStringList stagingFolders() const;

    TempTree tree;

private:
    std::unique_ptr<TempTree> m_temp;
};
