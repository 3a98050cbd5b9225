#pragma once

#include "core/base/EnumRawValues.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// The pages of the main window, in sidebar order.
namespace WorkbenchSections {
Q_NAMESPACE
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
Q_ENUM_NS(WorkbenchSection)

const std::vector<WorkbenchSection>& allCases();
inline QString id(WorkbenchSection section) { return EnumRawValues::rawValue(section); }
// The sidebar label and the page title in the top bar.
QString title(WorkbenchSection section);
// The name of the sidebar icon in the icon registry.
QString iconName(WorkbenchSection section);
}  // namespace WorkbenchSections

using WorkbenchSection = WorkbenchSections::WorkbenchSection;
