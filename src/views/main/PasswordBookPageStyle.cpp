#include "views/main/PasswordBookPageStyle.h"

#include "viewmodels/PasswordBookTableModel.h"
#include "views/kit/Theme.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

namespace PasswordBookPageStyle {

// One half of the book picker; `leading` rounds the left corners, else the right ones.
QPushButton* bookSegment(const QString& title, bool leading, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setCheckable(true);
    button->setFixedSize(180, 30);
    button->setCursor(Qt::PointingHandCursor);
    const QString corners =
        leading ? QStringLiteral("border-top-left-radius: 6px; border-bottom-left-radius: 6px;")
                : QStringLiteral("border-top-right-radius: 6px; border-bottom-right-radius: 6px;");
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3; %4 }"
                       "QPushButton:checked { background: %5; color: white; border-color: %5; }")
            .arg(Theme::color(Theme::Colour::controlBackground).name(),
                 Theme::color(Theme::Colour::primary).name(),
                 Theme::color(Theme::Colour::black, 0.16).name(QColor::HexArgb), corners,
                 Theme::color(Theme::Colour::accent).name()));
    return button;
}

// Rows of one line, no grid, the accent's faint tint for the selection.
void styleTable(QTableView* table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked |
                           QAbstractItemView::EditKeyPressed);
    table->setShowGrid(false);
    table->setFrameShape(QFrame::NoFrame);
    table->setWordWrap(false);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(40);
    QHeaderView* header = table->horizontalHeader();
    header->setFont(Theme::font(Theme::TextStyle::headline));
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(PasswordBookTableModel::passwordColumn, QHeaderView::Stretch);
    header->resizeSection(PasswordBookTableModel::indexColumn, 84);
    header->resizeSection(PasswordBookTableModel::labelColumn, 234);
    header->resizeSection(PasswordBookTableModel::lastUsedColumn, 178);
    header->resizeSection(PasswordBookTableModel::actionsColumn, 130);
    header->setMinimumHeight(44);
    QPalette palette = table->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, Theme::color(Theme::Colour::accent, 0.10));
        palette.setColor(group, QPalette::HighlightedText, Theme::color(Theme::Colour::primary));
    }
    table->setPalette(palette);
    table->setStyleSheet(QStringLiteral(
        "QTableView { background: transparent; }"
        "QTableView::item { padding-left: 14px; border-bottom: 1px solid rgba(0,0,0,18); }"
        "QHeaderView::section { background: rgba(255,255,255,174); padding: 0 14px; border: none;"
        " border-bottom: 1px solid rgba(0,0,0,28); border-right: 1px solid rgba(0,0,0,18); }"));
}

}  // namespace PasswordBookPageStyle
