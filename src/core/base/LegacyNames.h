#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <optional>

// Names an archive stores in a legacy encoding: bytes that are not UTF-8, from ZIP tools without the
// UTF-8 flag or TAR made in a legacy locale. The encoding is chosen once for all legacy names of an
// archive, since one name alone is too short to tell: DOS, Russian and Japanese names are often
// valid GB18030 too.
class LegacyNames {
public:
    // What legacy names that are not Chinese are. ZIP names follow the system they were made on: the
    // ZIP format's own code page 437 for DOS, Windows, OS/2 and any system that does not say
    // otherwise, Mac OS Roman for the old Mac, and a Unix file system's bytes for Unix and macOS.
    // TAR names and the like have no convention: they are a file system's bytes too.
    enum class Source { fileSystemBytes, codePage437, macOsRoman };
    // A ZIP whose legacy names come from no system that is named: the format's own code page.
    static constexpr Source kZipDefault = Source::codePage437;

    // The convention of a ZIP entry's names by the host byte of its "version made by".
    static Source zipHostSource(quint8 host);
    // The same by the host name 7-Zip's technical listing prints ("Host OS").
    static Source zipHostSource(QStringView sevenZipHostName);
    // One archive's convention from those of its legacy names: a code page wins over file-system
    // bytes, code page 437 over Mac OS Roman, so an archive mixing them is read as the tools of the
    // system with code pages wrote it.
    static Source combined(std::optional<Source> sofar, Source next);

    // The decision over all legacy names of one archive: GB18030 when every name is valid GB18030
    // (no user-defined area) and more than half of their two-byte characters lie in the GB2312 area.
    LegacyNames(const QList<QByteArray>& names, Source source);

    // The name as it is shown and written to disk; nothing when it has no decoding (file-system bytes
    // that are not Chinese), so extracted items keep the tool's name.
    std::optional<QString> decoded(QByteArrayView name) const;
    // The name as a row shows it: decoded, or readable without a decoding (ToolText::readableName).
    QString shown(QByteArrayView name) const;

private:
    bool m_chinese = false;
    Source m_source;
    // One converter for all names of an archive: opening one per name would cost more than decoding.
    mutable QStringDecoder m_codePage;
};
