#pragma once

class QScrollArea;
class QVBoxLayout;
class QWidget;

// A vertical list that scrolls inside a page or panel: no frame, no horizontal scroll bar, and the
// page's background showing through, so rows look like part of the page.
namespace ScrollingList {

struct Parts {
    QScrollArea* area;
    QVBoxLayout* rows;  // no margins; the caller sets its spacing and bottom margin
};

Parts make(QWidget* parent);

}  // namespace ScrollingList
