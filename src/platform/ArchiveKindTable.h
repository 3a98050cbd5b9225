#pragma once

#include <array>
#include <string_view>

// The one table of archive kinds: the names that select each kind, how velmora opens and edits it, its
// MIME types and what the desktop integration offers for it. ArchiveFormat recognises kinds by it; the
// engine picks extractor and programs by it; the desktop entry, the default-handler service, the
// file-manager entries and the file-manager helper (which links no velmora library, hence header-only)
// each select their part of it by a property. Rows stand in the order the desktop lists them: ZIP, RAR,
// 7Z first.
namespace ArchiveKindTable {

enum class Kind { zip, zipx, sevenZip, rar, tar, tarGz, tarBz2, tarXz, gz, bz2, xz, dmg, iso };

// Which extractor opens the kind. A ZIP's entry names also follow ZIP's rules for legacy names.
enum class Family { sevenZip, zip, rar };

// The programs that open an archive, as the engine knows them; zipReader is velmora's own reader of a
// ZIP's central directory, tar is GNU tar. none marks an unused place.
enum class Program { none, sevenZip, zipReader, unrar, infoZip, tar };

struct ProgramStep {
    Program program = Program::none;
    // Tried only when the user gave a password.
    bool onlyWithPassword = false;
};

struct MimeType {
    std::string_view name;
    // For a type the default-handler status table shows: that row's name.
    std::string_view statusName = {};
    // Another name a default for the kind may be stored under: velmora edits it only where a file
    // already sets it, since such a key would otherwise still answer for the kind.
    bool defaultHandlerAlias = false;
};

struct KindRow {
    Kind kind;
    std::string_view displayName;
    // Lower case, without the leading dot; unused places are empty. A name ends in ".<suffix>".
    std::array<std::string_view, 2> suffixes;
    // A compressed TAR: its suffixes are tested before every plain one, so x.tar.gz is never gz.
    bool compoundTar;
    Family family;
    // velmora adds to and deletes from such an archive in place; every other kind is read only.
    bool editable;
    // velmora takes the kind's own (first) MIME type over when made the default archive tool.
    bool defaultHandler;
    // The file managers offer "用 velmora 解压" when every selected name ends in one of the suffixes.
    bool fileManagerExtract;
    // The kind's own type first; unused places have an empty name. All of them are in the desktop entry.
    std::array<MimeType, 3> mimeTypes;
    // The programs that open the kind, in the order they try (ToolFallback); unset: 7-Zip alone.
    std::array<ProgramStep, 3> programs = {{{Program::sevenZip}}};
};

// clang-format off
// kind, displayName, suffixes, compoundTar, family, editable, defaultHandler, fileManagerExtract, mimeTypes,
// programs
inline constexpr KindRow kKinds[] = {
    {Kind::zip, "ZIP", {"zip"}, false, Family::zip, true, true, true,
     {{{"application/zip", "ZIP"}, {"application/x-zip-compressed", "ZIP(PKWARE)", true}}},
     {{{Program::sevenZip}, {Program::zipReader}, {Program::infoZip}}}},
    // unzip knows none of ZIPX's own methods; only an encrypted one is worth its try.
    {Kind::zipx, "ZIPX", {"zipx"}, false, Family::zip, false, false, false, {},
     {{{Program::sevenZip}, {Program::infoZip, true}}}},
    // Debian's 7-Zip reads no RAR.
    {Kind::rar, "RAR", {"rar"}, false, Family::rar, false, true, true,
     {{{"application/vnd.rar", "RAR"}, {"application/x-rar", {}, true}, {"application/x-rar-compressed"}}},
     {{{Program::unrar}, {Program::sevenZip}}}},
    {Kind::sevenZip, "7Z", {"7z"}, false, Family::sevenZip, true, true, true,
     {{{"application/x-7z-compressed", "7Z"}}}},
    // 7-Zip misreads sparse files, old GNU headers and incremental TARs without a word: GNU tar reads
    // them as written. It reads gzip, bzip2 and xz itself; 7-Zip reads only the compression layer of a
    // compressed TAR, and the TAR it unpacked to after that (CompoundTar).
    {Kind::tar, "TAR", {"tar"}, false, Family::sevenZip, false, false, false, {{{"application/x-tar"}}},
     {{{Program::tar}, {Program::sevenZip}}}},
    {Kind::tarGz, "TAR.GZ", {"tar.gz", "tgz"}, true, Family::sevenZip, false, false, false,
     {{{"application/x-compressed-tar"}}}, {{{Program::tar}, {Program::sevenZip}}}},
    {Kind::tarBz2, "TAR.BZ2", {"tar.bz2", "tbz2"}, true, Family::sevenZip, false, false, false,
     {{{"application/x-bzip-compressed-tar"}}}, {{{Program::tar}, {Program::sevenZip}}}},
    {Kind::tarXz, "TAR.XZ", {"tar.xz", "txz"}, true, Family::sevenZip, false, false, false,
     {{{"application/x-xz-compressed-tar"}}}, {{{Program::tar}, {Program::sevenZip}}}},
    {Kind::gz, "GZ", {"gz"}, false, Family::sevenZip, false, false, false, {{{"application/gzip"}}}},
    {Kind::bz2, "BZ2", {"bz2"}, false, Family::sevenZip, false, false, false, {{{"application/x-bzip2"}}}},
    {Kind::xz, "XZ", {"xz"}, false, Family::sevenZip, false, false, false, {{{"application/x-xz"}}}},
    {Kind::dmg, "DMG", {"dmg"}, false, Family::sevenZip, false, false, false,
     {{{"application/x-apple-diskimage"}}}},
    {Kind::iso, "ISO", {"iso"}, false, Family::sevenZip, false, false, false,
     {{{"application/x-cd-image"}, {"application/x-iso9660-image"}}}},
};
// clang-format on

constexpr const KindRow& row(Kind kind) {
    for (const KindRow& candidate : kKinds) {
        if (candidate.kind == kind) return candidate;
    }
    return kKinds[0];
}

constexpr bool everyKindHasOneRow() {
    for (int kind = 0; kind <= static_cast<int>(Kind::iso); ++kind) {
        int rows = 0;
        for (const KindRow& candidate : kKinds) rows += static_cast<int>(candidate.kind) == kind;
        if (rows != 1) return false;
    }
    return true;
}
static_assert(everyKindHasOneRow());

}  // namespace ArchiveKindTable
