#pragma once

#include <QList>
#include <QString>
#include <optional>

// The password of each archive of an extraction, in the order of the archives: an archive past the end
// of the list, or with none, is given no password.
using ExtractionPasswords = QList<std::optional<QString>>;
