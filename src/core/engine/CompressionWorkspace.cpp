#include "core/engine/CompressionWorkspace.h"

#include <QDir>

void CompressionWorkspace::removeStagingRoot() const {
    if (stagingRootURL) QDir(*stagingRootURL).removeRecursively();
}
