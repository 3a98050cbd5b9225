#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>

// What the file managers' menu entries run: turns a selection into one velmora:// action URL and
// asks the desktop to open it. Keeps no state; every member works on what it is given.
class FinderSync {
public:
    // The selection to act on, as absolute paths in the given order: the path arguments (relative
    // ones against workingDirectory); without any, the Nautilus or Caja script variables; without
    // those, the script's current folder when it is a local one, else workingDirectory itself.
    static QStringList currentSelection(const QStringList& pathArguments,
                                        const QProcessEnvironment& environment,
                                        const QString& workingDirectory);

    // True when every name ends in the extension of a kind the file managers extract (the lower-cased
    // text after the last "." of the last path component, against the table of kinds: zip, rar, 7z).
    // Names only: a folder called photos.zip counts, x.tar.gz does not.
    static bool namesOnlyArchives(const QStringList& paths);

    // velmora://<action>?path=<p1>&path=<p2>... with every value percent-encoded byte by byte
    // except the unreserved characters, so "%41", "+", "&", "#", "=" and "?" survive the round trip,
    // and so do a name's bytes that are not UTF-8 (kept as ToolText::escapedName keeps them).
    static QString actionUrl(const QString& action, const QStringList& paths);

    // Why the selection is not handed on: nothing selected, or for extract a name that is no archive of
    // the file managers' kinds; nothing when it can be.
    static std::optional<QString> refusal(const QString& action, const QStringList& paths);

    // Whether the desktop names a program for velmora:// links (xdg-mime); true when it cannot be asked,
    // so that xdg-open decides.
    static bool linksHaveAHandler();

    // Builds the URL for paths and hands it on as its one argument, without waiting (a cold start of
    // velmora may keep the opener busy): to xdg-open when the desktop has a program for the links, else
    // (and when xdg-open cannot be started) to besideVelmora, the velmora installed with this helper.
    // xdg-open without a program for the scheme would try web browsers instead. The refusal, or why
    // nothing could be started; nothing when the URL was handed on.
    static std::optional<QString> openVelmora(const QString& action, const QStringList& paths,
                                              const QString& besideVelmora);
};
