#include "support/GnuTarArchives.h"

#include <QFile>
#include <QFileInfo>

namespace GnuTarArchives {

QMap<QString, QString> make(TempTree& tree) {
    QMap<QString, QString> archives;
    const auto tar = [&](const QString& name, const QStringList& switches, const QString& folder,
                         const QString& item = "d") {
        runTool("/usr/bin/tar", switches + QStringList{"-f", archives[name] = tree.path(name), item},
                tree.path(folder));
    };
    QFile sparse(tree.writeFile("sparse/sparse.bin", {}));
    sparse.open(QIODevice::ReadWrite);
    for (const qint64 offset : {4096, 1048576, 3000000}) {
        sparse.seek(offset);
        sparse.write("data");
    }
    sparse.resize(3101184);  // flushes; the end is a hole too
    for (const QString version : {"0.0", "0.1", "1.0"})
        tar("sparse-" + version + ".tar", {"-c", "--sparse", "--posix", "--sparse-version=" + version},
            "sparse", "sparse.bin");
    tar("sparse-gnu.tar", {"-c", "--sparse", "--format=gnu"}, "sparse", "sparse.bin");
    tar("sparse-1.0.tgz", {"-cz", "--sparse", "--posix", "--sparse-version=1.0"}, "sparse", "sparse.bin");
    tree.writeFile("times/d/test-times.txt", "times");
    tar("oldgnu-times.tar", {"-c", "--format=oldgnu", "--incremental"}, "times");
    const QString snapshot = "--listed-incremental=" + tree.path("incremental.snar");
    tree.writeFile("incremental/d/same.txt", "same");
    tree.writeFile("incremental/d/f.txt", "v1");
    tar("incremental.tar", {"-c", snapshot}, "incremental");
    tree.writeFile("incremental/d/f.txt", "v2-longer");
    tar("incremental.tar", {"-r", snapshot}, "incremental");
    tree.writeFile("cut/d/a.txt", "a");
    tree.writeFile("cut/d/b.txt", "b");
    tar("no-end-blocks.tar", {"-c", "--blocking-factor=1"}, "cut");  // no record padding: the end blocks last
    QFile::resize(archives["no-end-blocks.tar"], QFileInfo(archives["no-end-blocks.tar"]).size() - 1024);
    return archives;
}

}  // namespace GnuTarArchives
