#include "core/engine/CompressionWorkspace.h"

#include "platform/ToolText.h"
#include "platform/WorkTree.h"

#include <QFile>

void CompressionWorkspace::removeStagingRoot() const {
    // Staged folders keep their originals' modes, read-only ones included.
    if (stagingRootURL) WorkTree::remove(ToolText::encodedName(*stagingRootURL));
}
