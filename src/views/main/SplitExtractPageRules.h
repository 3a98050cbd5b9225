#pragma once

#include "core/split/SplitArchiveDescriptor.h"
#include "viewmodels/SplitArchivePageState.h"
#include "views/kit/Theme.h"

#include <QString>

// The texts, colours and symbols of the split-extract page, kept apart from its widgets so they can be
// checked without a display.
namespace SplitExtractPageRules {

// The colour of a set's verdict: badge, message box and status cell.
Theme::Colour validationColour(SplitArchiveValidationState state);

// The sum of every part's stored size, missing ones included; "-" for no parts or a zero sum.
QString splitArchiveTotalSizeDescription(const SplitArchiveDescriptor& descriptor);

// The "主卷：" name: the primary volume's file name, else the archive name.
QString primaryName(const SplitArchiveDescriptor& descriptor);

// The "缺失数量" cell is orange while anything is missing.
Theme::Colour missingCountColour(qsizetype missingCount);

// What the drop zone shows for a page state.
enum class DropZoneContent { prompt, scanning, notSplitArchive };
DropZoneContent dropZoneContent(const SplitArchivePageState& state);

// The info panel's placeholder while no set is loaded.
struct EmptyInfo {
    QString text;
    QString symbol;
};
EmptyInfo emptyInfo(const SplitArchivePageState& state);

// How one row of the volume list looks.
struct PartRowLook {
    QString fileName;
    // Under the name for any volume not simply found; empty otherwise.
    QString detail;
    QString leadingSymbol;
    QString trailingSymbol;
    Theme::Colour symbolColour = Theme::Colour::green;
    Theme::Colour borderColour = Theme::Colour::green;
    double borderOpacity = 0;

    bool operator==(const PartRowLook&) const = default;
};
PartRowLook partRowLook(const SplitArchivePart& part);

}  // namespace SplitExtractPageRules
