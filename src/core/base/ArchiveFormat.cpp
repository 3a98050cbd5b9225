#include "core/base/ArchiveFormat.h"

#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"

namespace ArchiveFormat {

namespace {

QLatin1String latin1(std::string_view text) { return QLatin1String(text.data(), qsizetype(text.size())); }

bool endsWithSuffix(const QString& name, std::string_view suffix) {
    return !suffix.empty() && name.endsWith(latin1(suffix)) && name.size() > qsizetype(suffix.size()) &&
           name.at(name.size() - qsizetype(suffix.size()) - 1) == QLatin1Char('.');
}

}  // namespace

std::optional<Kind> kind(const QString& fileURL) {
    const QString name = FileNameHelper::lastPathComponent(fileURL).toLower();
    for (const bool compoundTar : {true, false}) {
        for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
            if (row.compoundTar != compoundTar) continue;
            for (const std::string_view suffix : row.suffixes) {
                if (endsWithSuffix(name, suffix)) return row.kind;
            }
        }
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

bool isArchive(const QString& fileURL) { return kindOrSetKind(fileURL).has_value(); }

std::optional<Family> family(const QString& fileURL) {
    const std::optional<Kind> opensAs = kindOrSetKind(fileURL);
    if (!opensAs) return std::nullopt;
    return ArchiveKindTable::row(*opensAs).family;
}

bool isEditable(const QString& fileURL) {
    const std::optional<Kind> own = kind(fileURL);
    return own && ArchiveKindTable::row(*own).editable;
}

QString displayName(Kind kind) { return latin1(ArchiveKindTable::row(kind).displayName); }

}  // namespace ArchiveFormat
