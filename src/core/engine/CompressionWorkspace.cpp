#include "core/engine/CompressionWorkspace.h"

#include "core/base/FileTree.h"
#include "platform/ToolText.h"

#include <QFile>

#include <filesystem>

#include <sys/stat.h>

void CompressionWorkspace::removeStagingRoot() const {
    if (!stagingRootURL) return;
    // Staged folders keep their originals' modes; a read-only one would keep its contents.
    FileTree::walk(*stagingRootURL, [](const FileTree::Entry& entry) {
        if (entry.kind == FileTree::EntryKind::directory && (entry.info.st_mode & S_IRWXU) != S_IRWXU)
            ::chmod(entry.nativePath.constData(), (entry.info.st_mode & 07777) | S_IRWXU);
        return true;
    });
    // Not QDir: it skips names that are not UTF-8.
    std::error_code code;
    std::filesystem::remove_all(ToolText::encodedName(*stagingRootURL).toStdString(), code);
}
