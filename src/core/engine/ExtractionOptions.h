#pragma once

// The user's choices an extraction follows, taken from the settings by the caller.
struct ExtractionOptions {
    // Each archive gets a new folder named after it in the destination.
    bool extractToSeparateFolder = true;
    // Moves an extracted archive (all volumes of a set) to the trash; only while extractToSeparateFolder
    // is on.
    bool deleteSourceAfterExtract = false;
};
