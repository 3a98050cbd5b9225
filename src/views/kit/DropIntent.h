#pragma once

// The page a drop on the main window belongs to; it decides which model operation receives the
// dropped files.
enum class DropIntent { home, extract, compress, splitCompress, splitExtract };
