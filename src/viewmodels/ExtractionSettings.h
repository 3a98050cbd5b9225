#pragma once

#include "core/engine/ExtractionOptions.h"
#include "core/state/AppSettings.h"

// The part of the settings the archive engine reads when it extracts.
inline ExtractionOptions extractionOptions(const AppSettings& settings) {
    return {.extractToSeparateFolder = settings.extractToSeparateFolder,
            .deleteSourceAfterExtract = settings.deleteSourceAfterExtract};
}
