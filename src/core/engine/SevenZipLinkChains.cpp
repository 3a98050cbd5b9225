#include "core/engine/SevenZipLinkChains.h"

#include "core/engine/ArchiveLinks.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/SevenZipListing.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureLines.h"
#include "platform/ToolText.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>

namespace SevenZipLinkChains {

namespace {

// A link's target is a path: longer data is no link the kernel would make, and is not read.
constexpr qint64 kMaxTargetSize = 4096;

// "Attributes = D drwxr-xr-x" (Windows letters, then the Unix mode where one is stored) or
// "Mode = drwxr-xr-x": the Unix mode's file type.
QChar unixType(QStringView value) {
    const QStringView mode = value.trimmed();
    const QStringView last = mode.mid(mode.lastIndexOf(u' ') + 1);
    const auto permission = [](QChar c) { return QStringView(u"rwxsStT-").contains(c); };
    if (last.size() != 10 || !std::all_of(last.begin() + 1, last.end(), permission)) return QChar();
    return last.front();
}

// The Windows letters of "Attributes = DA drwxr-xr-x" (empty for "Mode").
QStringView windowsLetters(QStringView value) {
    const QStringView trimmed = value.trimmed();
    const QStringView first = trimmed.left(trimmed.indexOf(u' '));
    return unixType(first) == QChar() ? first : QStringView();
}

// The entries as the listing's fields go by: each "Path" begins one.
struct EntryFields {
    QList<Entry> entries;

    void store(SevenZipListing::Key key, QStringView rawValue, QStringView, qsizetype) {
        using Key = SevenZipListing::Key;
        const QStringView value = rawValue.trimmed();
        if (key == Key::path) entries.append(Entry{});
        if (entries.isEmpty()) return;
        Entry& entry = entries.last();
        switch (key) {
            case Key::path:
                entry.path = value.toString();
                return;
            case Key::folder:
                entry.isFolder = entry.isFolder || value == u"+";
                return;
            case Key::size:
                entry.size = value.toLongLong();
                return;
            case Key::attributes:
            case Key::mode:
                entry.isLink = entry.isLink || unixType(value) == u'l';
                // 7Z shows no "Folder" field, only the letter D; L is a Windows reparse point.
                entry.isFolder =
                    entry.isFolder || unixType(value) == u'd' || windowsLetters(value).contains(u'D');
                entry.isReparsePoint = windowsLetters(value).contains(u'L');
                return;
            case Key::symbolicLink:
                entry.target = value.toString();
                entry.isLink = entry.isLink || !value.isEmpty();
                return;
            case Key::hardLink:
                entry.hardLinkTarget = value.toString();
                return;
            case Key::hostOS:
            case Key::modified:
            case Key::encrypted:
                return;
        }
    }

    void finishBlock() {}
};

// A relative path's components without "." and empty ones; nothing when it is absolute or climbs.
std::optional<QStringList> components(const QString& path) {
    if (path.startsWith(u'/')) return std::nullopt;
    QStringList parts;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..") return std::nullopt;
        if (part != u".") parts << part;
    }
    return parts;
}

// Fills in the targets the listing does not show (ZIP, 7Z store them as the link's data): one run
// prints them all, in archive order, each as long as its listed size.
bool readTargets(const SevenZipTool& sevenZip, const QString& archive, QList<Entry>& entries,
                 const std::optional<QString>& password, const CancellationToken& token) {
    QStringList paths;
    for (const Entry& entry : entries) {
        if (!entry.isLink || !entry.target.isEmpty()) continue;
        if (entry.size > kMaxTargetSize) return false;
        paths << entry.path;
    }
    if (paths.isEmpty()) return true;
    const ProcessResult result = sevenZip.printEntries(archive, paths, password, token);
    if (result.status != 0) return false;
    const QByteArray bytes = result.outputBytes.isEmpty() ? result.output.toUtf8() : result.outputBytes;
    qsizetype offset = 0;
    for (Entry& entry : entries) {
        if (!entry.isLink || !entry.target.isEmpty()) continue;
        if (offset + entry.size > bytes.size()) return false;
        entry.target = ToolText::escapedName(bytes.mid(offset, entry.size));
        offset += entry.size;
    }
    return offset == bytes.size();
}

}  // namespace

QList<Entry> parseListing(QStringView listing) {
    EntryFields fields;
    SevenZipListing::read(listing, fields);
    return std::move(fields.entries);
}

bool staysInside(const QList<Entry>& entries) {
    ArchiveLinks::Links links;
    QSet<QString> paths;
    QSet<QString> nonFolders;  // links, and whatever else 7-Zip might make a link of
    QList<QStringList> all;
    QStringList hardLinkTargets;
    for (const Entry& entry : entries) {
        const std::optional<QStringList> parts = components(entry.path);
        const bool isHardLink = !entry.hardLinkTarget.isEmpty();
        if (!parts || entry.isReparsePoint) return false;
        if (parts->isEmpty() && !entry.isLink && !isHardLink) continue;  // a TAR's "./"
        if (parts->isEmpty()) return false;
        const QString path = parts->join(u'/');
        if (paths.contains(path) && (entry.isLink || isHardLink || links.contains(path))) return false;
        paths.insert(path);
        if (isHardLink) hardLinkTargets << entry.hardLinkTarget;
        if (entry.isLink) links.insert(path, entry.target);
        if (!entry.isFolder || entry.isLink) nonFolders.insert(path);
        all << *parts;
    }
    for (const QStringList& parts : all) {
        for (qsizetype length = 1; length < parts.size(); ++length) {
            if (nonFolders.contains(parts.first(length).join(u'/'))) return false;  // written through
        }
    }
    // A hard link's target is an archive path that the tool links to: it stays inside when it names a
    // file of the archive. Not a symbolic link: its second name would resolve from another folder.
    for (const QString& target : hardLinkTargets) {
        const std::optional<QStringList> parts = components(target);
        const QString path = parts ? parts->join(u'/') : QString();
        if (path.isEmpty() || !nonFolders.contains(path) || links.contains(path)) return false;
    }
    for (auto link = links.constBegin(); link != links.constEnd(); ++link) {
        if (ArchiveLinks::leadsOut(link.key(), link.value(), links)) return false;
    }
    return true;
}

bool refusedLink(const ProcessResult& result) {
    return ToolFailure::refusedLink(ToolFailureLines::combinedText(result)).has_value();
}

bool provedSafe(const SevenZipTool& sevenZip, const QString& archive, const std::optional<QString>& password,
                const CancellationToken& token) {
    const ProcessResult listing =
        sevenZip.listTechnical(archive, password, ArchiveTools::kLongRunTimeout, token);
    if (listing.status != 0) return false;
    // Names that are not UTF-8 keep their bytes, so two of them never look alike.
    QList<Entry> entries = parseListing(
        listing.outputBytes.isEmpty() ? listing.output : ToolText::escapedName(listing.outputBytes));
    return readTargets(sevenZip, archive, entries, password, token) && staysInside(entries);
}

}  // namespace SevenZipLinkChains
