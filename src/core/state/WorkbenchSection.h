#pragma once

#include <QString>
#include <optional>
#include <vector>

// The pages of the main window, in sidebar order.
enum class WorkbenchSection {
    home,
    compress,
    extract,
    splitCompress,
    splitExtract,
    passwordBook,
    tasks,
    history,
    settings,
    about
};

namespace WorkbenchSections {
const std::vector<WorkbenchSection>& allCases();
QString rawValue(WorkbenchSection section);
std::optional<WorkbenchSection> fromRawValue(const QString& rawValue);
inline QString id(WorkbenchSection section) { return rawValue(section); }
// The sidebar label and the page title in the top bar.
QString title(WorkbenchSection section);
// The name of the sidebar icon in the icon registry.
QString iconName(WorkbenchSection section);
}  // namespace WorkbenchSections
