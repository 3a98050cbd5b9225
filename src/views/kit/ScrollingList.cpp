#include "views/kit/ScrollingList.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace ScrollingList {

Parts make(QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->viewport()->setAutoFillBackground(false);
    auto* list = new QWidget(area);
    list->setAutoFillBackground(false);
    auto* rows = new QVBoxLayout(list);
    rows->setContentsMargins(0, 0, 0, 0);
    area->setWidget(list);
    return {area, rows};
}

}  // namespace ScrollingList
