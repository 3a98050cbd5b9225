#pragma once

#include <QString>

// The installed application's own folders. The resources folder is <exe dir>/../share/velmora;
// tests point it elsewhere with setResourcesPath.
class AppBundle {
public:
    static QString resourcesPath();
    static void setResourcesPath(const QString& path);
    static void resetResourcesPath();
};
