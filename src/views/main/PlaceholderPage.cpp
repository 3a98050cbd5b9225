#include "views/main/PlaceholderPage.h"

#include "views/kit/EmptyState.h"

#include <QVBoxLayout>

PlaceholderPage::PlaceholderPage(WorkbenchSection section, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(34, 0, 34, 34);
    layout->addWidget(
        new EmptyState(WorkbenchSections::title(section), WorkbenchSections::iconName(section), this));
}
