#pragma once

#include "core/state/WorkbenchSection.h"

#include <QWidget>

// Stands in for a page that is not built yet: the page's icon and title, centred.
class PlaceholderPage : public QWidget {
    Q_OBJECT

public:
    explicit PlaceholderPage(WorkbenchSection section, QWidget* parent = nullptr);
};
