#include "views/main/OperationPageLayout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

namespace OperationPageLayout {

void arrange(QWidget* page, QWidget* selection, QWidget* banner, QWidget* settings, QWidget* summary,
             QWidget* start) {
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(34, 0, 34, 34);
    column->setSpacing(22);
    column->addWidget(selection);
    column->addWidget(banner);
    auto* cards = new QHBoxLayout;
    cards->setSpacing(20);
    cards->addWidget(settings, 1, Qt::AlignTop);
    cards->addWidget(summary, 0, Qt::AlignTop);
    column->addLayout(cards);
    column->addWidget(start);
    column->addStretch();
    // The start button is made before the cards' controls; Tab reaches it after them, as it is read.
    QWidget* last = nullptr;
    for (QWidget* control : settings->findChildren<QWidget*>()) {
        if (control->focusPolicy() & Qt::TabFocus) last = control;
    }
    if (last) QWidget::setTabOrder(last, start);
}

}  // namespace OperationPageLayout
