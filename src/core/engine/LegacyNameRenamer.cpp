#include "core/engine/LegacyNameRenamer.h"

#include "core/base/ToolText.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace LegacyNameRenamer {

namespace {

QByteArray bytesOf(const fs::path& path) { return QByteArray::fromStdString(path.native()); }

bool isLegacy(const fs::path& path) { return !ToolText::isValidUtf8(bytesOf(path.filename())); }

// Every item under the folder whose own name is not UTF-8, deepest first.
std::vector<fs::path> legacyItems(const QString& folderURL) {
    std::vector<fs::path> items;
    std::error_code error;
    fs::recursive_directory_iterator walk(QFile::encodeName(folderURL).toStdString(), error);
    for (const fs::recursive_directory_iterator end; !error && walk != end; walk.increment(error)) {
        if (isLegacy(walk->path())) items.push_back(walk->path());
    }
    std::stable_sort(items.begin(), items.end(), [](const fs::path& left, const fs::path& right) {
        return std::distance(left.begin(), left.end()) > std::distance(right.begin(), right.end());
    });
    return items;
}

bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

}  // namespace

void rename(const QString& folderURL, const Decoding& decoding) {
    for (const fs::path& item : legacyItems(folderURL)) {
        const std::optional<QString> name = decoding(bytesOf(item.filename()));
        if (!name || !isPlainName(*name)) continue;
        const fs::path target = item.parent_path() / name->toUtf8().toStdString();
        std::error_code error;
        // A clash keeps the tool's name: nothing already there is replaced.
        if (fs::symlink_status(target, error).type() != fs::file_type::not_found) continue;
        fs::rename(item, target, error);
    }
}

void renameExtractedArchive(const QString& folderURL, const std::function<LegacyNames::Source()>& sourceOf) {
    QList<QByteArray> names;
    for (const fs::path& item : legacyItems(folderURL)) names.append(bytesOf(item.filename()));
    if (names.isEmpty()) return;
    const LegacyNames legacy(names, sourceOf());
    rename(folderURL, [&legacy](const QByteArray& name) { return legacy.decoded(name); });
}

}  // namespace LegacyNameRenamer
