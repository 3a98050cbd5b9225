#include "core/base/ArchiveFormat.h"

#include <gtest/gtest.h>

namespace {

using Kind = ArchiveFormat::Kind;

TEST(ArchiveFormat, KindFromTheLastPathComponent) {
    const std::pair<QString, std::optional<Kind>> cases[] = {
        {"/a/report.zip", Kind::zip},
        {"/a/big.ZIPX", Kind::zipx},
        {"/a/x.7z", Kind::sevenZip},
        {"/a/a.part1.rar", Kind::rar},
        {"/a/image.tar", Kind::tar},
        {"/a/Backup.TAR.GZ", Kind::tarGz},
        {"/a/backup.tgz", Kind::tarGz},
        {"/a/a.tar.bz2", Kind::tarBz2},
        {"/a/a.TBZ2", Kind::tarBz2},
        {"/a/a.tar.xz", Kind::tarXz},
        {"/a/a.Txz", Kind::tarXz},
        {"/a/notes.gz", Kind::gz},
        {"/a/n.bz2", Kind::bz2},
        {"/a/n.xz", Kind::xz},
        {"/a/disk.DMG", Kind::dmg},
        {"/a/cd.iso", Kind::iso},
        {"/a/folder.zip/", Kind::zip},
        {"/a/a.7z.001", std::nullopt},
        {"/a/a.z01", std::nullopt},
        {"/a/a.r00", std::nullopt},
        {"/a/a.zip.001", std::nullopt},
        {"/a/a.tbz", std::nullopt},
        {"/a/nodot", std::nullopt},
        {"/a/trailing.", std::nullopt},
        {"/a/x.zip/readme.txt", std::nullopt},
        {"/a.zip/readme", std::nullopt},
    };
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(ArchiveFormat::kind(url), expected) << url.toStdString();
}

// A numbered volume opens as its set: its extractor and its label follow the set's kind, and it counts
// as an archive wherever archives are picked out of a selection.
TEST(ArchiveFormat, VolumesOpenAsTheirSetsKind) {
    const std::pair<QString, std::optional<Kind>> cases[] = {
        {"/a/s.7z.001", Kind::sevenZip}, {"/a/S.7Z.002", Kind::sevenZip}, {"/a/s.zip.001", Kind::zip},
        {"/a/s.z01", Kind::zip},         {"/a/s.zip", Kind::zip},         {"/a/s.part2.rar", Kind::rar},
        {"/a/s.r00", Kind::rar},         {"/a/s.tar.gz", Kind::tarGz},    {"/a/s.001", std::nullopt},
        {"/a/notes.txt", std::nullopt},
    };
    for (const auto& [url, expected] : cases) {
        EXPECT_EQ(ArchiveFormat::kindOrSetKind(url), expected) << url.toStdString();
        EXPECT_EQ(ArchiveFormat::isArchive(url), expected.has_value()) << url.toStdString();
    }
}

TEST(ArchiveFormat, DisplayNames) {
    const std::pair<Kind, QString> cases[] = {
        {Kind::zip, "ZIP"}, {Kind::zipx, "ZIPX"},    {Kind::sevenZip, "7Z"},    {Kind::rar, "RAR"},
        {Kind::tar, "TAR"}, {Kind::tarGz, "TAR.GZ"}, {Kind::tarBz2, "TAR.BZ2"}, {Kind::tarXz, "TAR.XZ"},
        {Kind::gz, "GZ"},   {Kind::bz2, "BZ2"},      {Kind::xz, "XZ"},          {Kind::dmg, "DMG"},
        {Kind::iso, "ISO"},
    };
    for (const auto& [kind, expected] : cases) EXPECT_EQ(ArchiveFormat::displayName(kind), expected);
}

}  // namespace
