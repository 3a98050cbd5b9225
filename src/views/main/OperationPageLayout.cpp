#include "views/main/OperationPageLayout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

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
}

}  // namespace OperationPageLayout
