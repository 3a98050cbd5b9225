#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// What one launch of velmora asks for. A later launch sends it to the primary instance, which
// handles its own launch the same way.
struct LaunchRequest {
    enum class Verb { open, activate, serviceExtract, serviceCompress };

    Verb verb = Verb::activate;
    // As given on the command line; read against cwd by the receiver.
    QStringList arguments;
    QString cwd;
    // Started by the login autostart entry: a later launch of that kind has nothing to ask.
    bool backgroundLogin = false;
    // Read from the command line only, never sent: `--help`, and an option velmora does not know.
    bool helpRequested = false;
    QString unknownOption = {};

    // `velmora [--background-login] [--service-extract|--service-compress] [--] [FILE|URL...]`
    static LaunchRequest fromCommandLine(const QStringList& arguments, const QString& cwd);

    // Why the command line cannot be served (an unknown option, link or action, a relative path in a
    // link, a path that names no file or folder), so that the launch starts nothing; nothing when it
    // can. The files a link names (velmora://, file:) are not judged here: links come from the desktop,
    // which shows no terminal, so the primary says on screen what it refuses of them.
    std::optional<QString> problem() const;

    // What `velmora --help` prints.
    static QString usage();

    QByteArray encoded() const;
    static std::optional<LaunchRequest> decoded(const QByteArray& bytes);

    bool operator==(const LaunchRequest&) const = default;
};

// The arguments of a request sorted by kind: velmora:// action URLs as given, and local paths (a
// file: URL's path, anything else made absolute against the sender's working directory). URLs of
// other schemes are dropped.
struct LaunchArguments {
    QStringList actionURLs;
    QStringList paths;

    static LaunchArguments classify(const QStringList& arguments, const QString& cwd);

    bool operator==(const LaunchArguments&) const = default;
};
