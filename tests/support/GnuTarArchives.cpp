#include "support/GnuTarArchives.h"

#include <gtest/gtest.h>
#include <QFile>

namespace GnuTarArchives {

namespace {

const QString kTar = QStringLiteral("/usr/bin/tar");

void writeSparseFile(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kSparseSize));
    for (const auto& [offset, data] :
         {std::pair<qint64, QByteArray>{4096, "start"}, {1048576, "middle"}, {3000000, "end"}}) {
        ASSERT_TRUE(file.seek(offset));
        ASSERT_EQ(file.write(data), data.size());
    }
}

// The archive without the zero blocks at its end (an archive's data never ends in a whole zero block
// here: every file is text).
void cutEndBlocks(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const QByteArray zeroBlock(512, '\0');
    while (bytes.endsWith(zeroBlock)) bytes.chop(zeroBlock.size());
    ASSERT_TRUE(file.resize(bytes.size()));
}

}  // namespace

QMap<QString, QString> make(TempTree& tree) {
    QMap<QString, QString> archives;
    const auto path = [&](const QString& name) { return archives[name] = tree.path("gnutar/" + name); };
    tree.makeFolder("gnutar");
    writeSparseFile(tree.writeFile("sparse/sparse.bin", {}));
    const QString sparseFolder = tree.path("sparse");
    for (const char* version : {"0.0", "0.1", "1.0"}) {
        runTool(kTar,
                {"-c", "--sparse", "--posix", QStringLiteral("--sparse-version=") + version, "-f",
                 path(QStringLiteral("sparse-%1.tar").arg(version)), "sparse.bin"},
                sparseFolder);
    }
    runTool(kTar, {"-c", "--sparse", "--format=gnu", "-f", path("sparse-gnu.tar"), "sparse.bin"},
            sparseFolder);
    runTool(
        kTar,
        {"-cz", "--sparse", "--posix", "--sparse-version=1.0", "-f", path("sparse-1.0.tgz"), "sparse.bin"},
        sparseFolder);

    tree.writeFile("times/d/test-times.txt", "times");
    runTool(kTar, {"-c", "--format=oldgnu", "--incremental", "-f", path("oldgnu-times.tar"), "d"},
            tree.path("times"));

    tree.writeFile("incremental/d/f.txt", "v1");
    tree.writeFile("incremental/d/same.txt", "same");
    const QString snapshot = tree.path("incremental.snar");
    runTool(kTar, {"-c", "--listed-incremental=" + snapshot, "-f", path("incremental.tar"), "d"},
            tree.path("incremental"));
    tree.writeFile("incremental/d/f.txt", "v2-longer");
    runTool(kTar, {"-r", "--listed-incremental=" + snapshot, "-f", archives["incremental.tar"], "d"},
            tree.path("incremental"));

    tree.writeFile("cut/d/a.txt", "a");
    tree.writeFile("cut/d/b.txt", "b");
    runTool(kTar, {"-c", "-f", path("no-end-blocks.tar"), "d"}, tree.path("cut"));
    cutEndBlocks(archives["no-end-blocks.tar"]);
    return archives;
}

}  // namespace GnuTarArchives
