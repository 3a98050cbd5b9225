#include "support/GnuTarArchives.h"

#include <QFile>

namespace GnuTarArchives {

QMap<QString, QString> make(TempTree& tree) {
    QMap<QString, QString> archives;
    const auto tar = [&](const QString& name, const QStringList& switches, const QString& folder,
                         const QString& item) {
        runTool("/usr/bin/tar",
                switches + QStringList{"-f", archives[name] = tree.path("gnutar/" + name), item},
                tree.path(folder));
    };
    tree.makeFolder("gnutar");
    QFile sparse(tree.writeFile("sparse/sparse.bin", {}));
    sparse.open(QIODevice::ReadWrite);
    sparse.resize(kSparseSize);
    for (const qint64 offset : {4096, 1048576, 3000000}) {
        sparse.seek(offset);
        sparse.write("data");
    }
    sparse.close();
    for (const QString version : {"0.0", "0.1", "1.0"})
        tar("sparse-" + version + ".tar", {"-c", "--sparse", "--posix", "--sparse-version=" + version},
            "sparse", "sparse.bin");
    tar("sparse-gnu.tar", {"-c", "--sparse", "--format=gnu"}, "sparse", "sparse.bin");
    tar("sparse-1.0.tgz", {"-cz", "--sparse", "--posix", "--sparse-version=1.0"}, "sparse", "sparse.bin");
    tree.writeFile("times/d/test-times.txt", "times");
    tar("oldgnu-times.tar", {"-c", "--format=oldgnu", "--incremental"}, "times", "d");
    const QString snapshot = "--listed-incremental=" + tree.path("incremental.snar");
    tree.writeFile("incremental/d/f.txt", "v1");
    tree.writeFile("incremental/d/same.txt", "same");
    tar("incremental.tar", {"-c", snapshot}, "incremental", "d");
    tree.writeFile("incremental/d/f.txt", "v2-longer");
    tar("incremental.tar", {"-r", snapshot}, "incremental", "d");
    tree.writeFile("cut/d/a.txt", "a");
    tree.writeFile("cut/d/b.txt", "b");
    tar("no-end-blocks.tar", {"-c"}, "cut", "d");
    // The text files never end in a whole zero block, so every such block is the archive's end.
    QByteArray bytes = tree.readFile("gnutar/no-end-blocks.tar");
    while (bytes.endsWith(QByteArray(512, '\0'))) bytes.chop(512);
    tree.writeFile("gnutar/no-end-blocks.tar", bytes);
    return archives;
}

}  // namespace GnuTarArchives
