#pragma once

#include <QString>

// The installed application's own folders. The resources folder is <exe dir>/../share/velmora;
// tests point it elsewhere with setResourcesPath.
class AppBundle {
public:
    static QString resourcesPath();
    static void setResourcesPath(const QString& path);
    static void resetResourcesPath();

    // Whether the executable runs from an installation, whatever its prefix: the desktop entry is in
    // <exe dir>/../share/applications, as an install puts it. A build tree has none beside it.
    static bool isInstalled(const QString& executablePath);
};
