#pragma once

class QApplication;

// The wheel over a combo box or spin box that does not have focus scrolls the page under it instead of
// changing the value, so scrolling a page past a picker never changes it unseen. Such a control takes
// focus from a click or the keyboard only, never from the wheel; once it has focus the wheel turns it.
namespace WheelGuard {

// Guards every such control of the application; later calls do nothing.
void install(QApplication& application);

}  // namespace WheelGuard
