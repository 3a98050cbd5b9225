#include "core/base/ArchiveFormat.h"

#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"

#include <utility>

namespace ArchiveFormat {

namespace {

// Tested against the whole name first, so x.tar.gz is tarGz and never gz.
const std::pair<const char*, Kind> kCompoundSuffixes[] = {
    {".tar.gz", Kind::tarGz}, {".tgz", Kind::tarGz},    {".tar.bz2", Kind::tarBz2},
    {".tbz2", Kind::tarBz2},  {".tar.xz", Kind::tarXz}, {".txz", Kind::tarXz},
};

const std::pair<const char*, Kind> kExtensions[] = {
    {"zip", Kind::zip}, {"zipx", Kind::zipx}, {"7z", Kind::sevenZip}, {"rar", Kind::rar}, {"tar", Kind::tar},
    {"gz", Kind::gz},   {"bz2", Kind::bz2},   {"xz", Kind::xz},       {"dmg", Kind::dmg}, {"iso", Kind::iso},
};

}  // namespace

std::optional<Kind> kind(const QString& fileURL) {
    const QString name = FileNameHelper::lastPathComponent(fileURL).toLower();
    for (const auto& [suffix, kind] : kCompoundSuffixes) {
        if (name.endsWith(QLatin1String(suffix))) return kind;
    }
    const QString extension = FileNameHelper::pathExtension(name);
    for (const auto& [candidate, kind] : kExtensions) {
        if (extension == QLatin1String(candidate)) return kind;
    }
    return std::nullopt;
}

std::optional<Kind> kindOrSetKind(const QString& fileURL) {
    if (const std::optional<Kind> own = kind(fileURL)) return own;
    const std::optional<SplitArchiveDetector::Match> volume =
        SplitArchiveDetector::detect(FileNameHelper::lastPathComponent(fileURL));
    if (!volume) return std::nullopt;
    switch (volume->format) {
        case SplitArchiveFormat::sevenZip:
            // The base name keeps the kind: name.7z or name.zip.
            return kind(volume->baseName);
        case SplitArchiveFormat::rarNew:
        case SplitArchiveFormat::rarOld:
            return Kind::rar;
        case SplitArchiveFormat::zip:
            return Kind::zip;
        case SplitArchiveFormat::unsupported:
            break;
    }
    return std::nullopt;
}

QString displayName(Kind kind) {
    switch (kind) {
        case Kind::zip:
            return QStringLiteral("ZIP");
        case Kind::zipx:
            return QStringLiteral("ZIPX");
        case Kind::sevenZip:
            return QStringLiteral("7Z");
        case Kind::rar:
            return QStringLiteral("RAR");
        case Kind::tar:
            return QStringLiteral("TAR");
        case Kind::tarGz:
            return QStringLiteral("TAR.GZ");
        case Kind::tarBz2:
            return QStringLiteral("TAR.BZ2");
        case Kind::tarXz:
            return QStringLiteral("TAR.XZ");
        case Kind::gz:
            return QStringLiteral("GZ");
        case Kind::bz2:
            return QStringLiteral("BZ2");
        case Kind::xz:
            return QStringLiteral("XZ");
        case Kind::dmg:
            return QStringLiteral("DMG");
        case Kind::iso:
            return QStringLiteral("ISO");
    }
    return {};
}

}  // namespace ArchiveFormat
