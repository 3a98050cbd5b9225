#pragma once

#include <QString>
#include <optional>

// Finds what a tool extracted when it is not at the expected path (a tool that stored an entry under
// another folder). Hidden names (beginning with ".") are neither returned nor searched, and links are
// not followed.
namespace ExtractedItemSearch {

// The first regular file called name anywhere under root.
std::optional<QString> locateExtractedFile(const QString& name, const QString& root);

// The first item of any type called name anywhere under root.
std::optional<QString> locateExtractedItem(const QString& name, const QString& root);

// True when path, with links resolved, is root itself or lies inside it.
bool isContained(const QString& path, const QString& root);

}  // namespace ExtractedItemSearch
