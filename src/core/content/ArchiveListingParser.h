#pragma once

#include "core/content/ArchivePreviewEntry.h"
#include "core/content/PreviewListing.h"

#include <QList>
#include <QStringView>
#include <optional>

// Turns the listings the tools print into rows. Pure functions of the text; anything they do not
// recognise is skipped.
namespace ArchiveListingParser {

// 7-Zip's technical listing ("l -slt"): after a line of ten hyphens, one block of "key = value" lines
// per entry, each beginning with "Path".
PreviewListing parseSevenZipStructuredList(QStringView output);

// 7-Zip's plain listing ("l"): only the rows between the two dashed lines, cut at the columns those
// lines mark, so that banners, headings and totals never become rows.
QList<ArchivePreviewEntry> parseSevenZipPlainList(QStringView output);

// unrar's technical listing ("lt"): one block of "key: value" lines per entry, beginning with "Name".
// An entry continued across volumes is listed once per volume; it is kept once.
QList<ArchivePreviewEntry> parseRarTechnicalList(QStringView output);

// One line of "unzip -l": length, date, time and name columns.
std::optional<ArchivePreviewEntry> parseZipListLine(QStringView line);

}  // namespace ArchiveListingParser
