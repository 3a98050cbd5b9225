#pragma once

#include <QString>

class QWidget;

// Tells the user that a change they asked for was not saved, for pages without the main model's alert:
// a window-modal "保存失败：<reason>" over the page's window, which closes itself.
namespace SaveFailureAlert {

void show(QWidget* page, const QString& reason);

}  // namespace SaveFailureAlert
