#include "platform/AppBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace {
QMutex gMutex;
QString gOverride;
bool gHasOverride = false;
}  // namespace

QString AppBundle::resourcesPath() {
    {
        QMutexLocker lock(&gMutex);
        if (gHasOverride) return gOverride;
    }
    const QString executableDir = QCoreApplication::applicationDirPath();
    if (executableDir.isEmpty()) return {};
    return QDir::cleanPath(executableDir + QStringLiteral("/../share/velmora"));
}

bool AppBundle::isInstalled(const QString& executablePath) {
    return QFileInfo::exists(QDir::cleanPath(QFileInfo(executablePath).absolutePath() +
                                             QStringLiteral("/../share/applications/com.velmora.pro.desktop")));
}

void AppBundle::setResourcesPath(const QString& path) {
    QMutexLocker lock(&gMutex);
    gOverride = path;
    gHasOverride = true;
}

void AppBundle::resetResourcesPath() {
    QMutexLocker lock(&gMutex);
    gOverride.clear();
    gHasOverride = false;
}
