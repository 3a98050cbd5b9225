#pragma once

#include "core/engine/ArchiveCompressor.h"
#include "core/engine/ProcessRunner.h"

#include <QString>
#include <vector>

// Turns 7-Zip's console output (run with -bsp1) into progress fractions.
namespace SevenZipProgress {

// Every "<n>%" in the chunk, in order, as n / 100 held between 0.01 and 0.95: the run is not done
// until the caller says so. Values are not compared with earlier ones.
std::vector<double> sevenZipProgressValues(const QString& chunk);

// An output handler feeding progressHandler; empty when progressHandler is empty. It runs on the
// thread that runs the tool.
ProcessRunner::OutputHandler makeSevenZipProgressOutputHandler(const ProgressHandler& progressHandler);

}  // namespace SevenZipProgress
