#pragma once

class QWidget;

// The compress and extract pages' column: what was chosen, the feedback banner, the settings card
// with the summary beside it, and the start button.
namespace OperationPageLayout {

void arrange(QWidget* page, QWidget* selection, QWidget* banner, QWidget* settings, QWidget* summary,
             QWidget* start);

}  // namespace OperationPageLayout
