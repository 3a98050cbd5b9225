#pragma once

#include <QString>

// Byte counts as the interface shows them: decimal units (1 KB = 1,000 bytes, as file managers count
// file sizes), one decimal above a thousand bytes, halves rounded up. Written by hand because listings
// format every row and QLocale::formattedDataSize is several times slower.
namespace ByteCountFormatter {

QString fileStyle(qint64 byteCount);

}  // namespace ByteCountFormatter
