#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

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

    // Builds the URL for paths and hands it to xdg-open as its one argument, without waiting for
    // it (a cold start of velmora may keep xdg-open busy). False when there is nothing to open, the
    // extract rule fails, or xdg-open cannot be started.
    static bool openVelmora(const QString& action, const QStringList& paths);
};
