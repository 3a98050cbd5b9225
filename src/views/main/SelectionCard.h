#pragma once

#include "core/state/ArchiveActivityKind.h"
#include "views/kit/Card.h"

class EmptyState;
class FileList;
class QLabel;
class QPushButton;
class SelectionSizes;

// The source card of the compress and extract pages: "已选择 N <unit>", an add and a clear button,
// then the selected items or the empty state. The page makes it a drop target and wires the buttons.
class SelectionCard : public Card {
    Q_OBJECT

public:
    struct Texts {
        QString unit;  // " 个文件"
        QString addTitle;
        QString emptyTitle;
        QString emptyIconName;
    };

    SelectionCard(const Texts& texts, ArchiveActivityKind kind, const SelectionSizes& sizes,
                  QWidget* parent = nullptr);

    void setPaths(const QStringList& paths);
    QString headerText() const;
    QPushButton* addButton() const { return m_add; }
    QPushButton* clearButton() const { return m_clear; }
    FileList* fileList() const { return m_list; }
    bool showsEmptyState() const;

private:
    Texts m_texts;
    QLabel* m_header;
    QPushButton* m_add;
    QPushButton* m_clear;
    EmptyState* m_empty;
    FileList* m_list;
};
