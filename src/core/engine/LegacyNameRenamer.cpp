#include "core/engine/LegacyNameRenamer.h"

#include "platform/ToolText.h"

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

// Every item under the folder whose own name is wanted, deepest first.
std::vector<fs::path> itemsWhere(const QString& folderURL, bool (*wanted)(const fs::path&)) {
    std::vector<fs::path> items;
    std::error_code error;
    fs::recursive_directory_iterator walk(ToolText::encodedName(folderURL).toStdString(), error);
    for (const fs::recursive_directory_iterator end; !error && walk != end; walk.increment(error)) {
        if (wanted(walk->path())) items.push_back(walk->path());
    }
    std::stable_sort(items.begin(), items.end(), [](const fs::path& left, const fs::path& right) {
        return std::distance(left.begin(), left.end()) > std::distance(right.begin(), right.end());
    });
    return items;
}

std::vector<fs::path> legacyItems(const QString& folderURL) { return itemsWhere(folderURL, isLegacy); }

bool holdsBackslash(const fs::path& path) {
    const QByteArray name = bytesOf(path.filename());
    return name.contains('\\') && ToolText::isValidUtf8(name);
}

// Steps into the folder named piece, making it when missing; false when anything but a real folder
// (a link above all) holds its place.
bool enterFolder(fs::path& folder, const QByteArray& piece) {
    folder /= piece.toStdString();
    std::error_code error;
    const fs::file_type type = fs::symlink_status(folder, error).type();
    if (type == fs::file_type::not_found) return fs::create_directory(folder, error);
    return type == fs::file_type::directory;
}

void separate(const fs::path& item) {
    QList<QByteArray> pieces = bytesOf(item.filename()).split('\\');
    pieces.removeAll(QByteArray());
    if (pieces.isEmpty() || pieces.contains(".") || pieces.contains("..")) return;
    fs::path folder = item.parent_path();
    for (qsizetype index = 0; index + 1 < pieces.size(); ++index) {
        if (!enterFolder(folder, pieces[index])) return;
    }
    const fs::path target = folder / pieces.last().toStdString();
    std::error_code error;
    const fs::file_type there = fs::symlink_status(target, error).type();
    if (there == fs::file_type::not_found) {
        fs::rename(item, target, error);
    } else if (there == fs::file_type::directory && fs::is_directory(fs::symlink_status(item, error))) {
        fs::remove(item, error);  // a folder entry ("a\") made for its contents already: only when empty
    }
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

void separateFolders(const QString& folderURL) {
    for (const fs::path& item : itemsWhere(folderURL, holdsBackslash)) separate(item);
}

}  // namespace LegacyNameRenamer
