#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

// The question asked before something that cannot be taken back (deleting, replacing, stopping work by
// closing its window): a warning over `parent` with one button that confirms, titled `confirmTitle`,
// and "取消". It is opened, never run in a loop of its own; `answered` gets true for the first button.
namespace ConfirmationAlert {

QMessageBox* open(QWidget* parent, const QString& message, const QString& informativeText,
                  const QString& confirmTitle, std::function<void(bool confirmed)> answered);

}  // namespace ConfirmationAlert
