#pragma once

#include <QFileDialog>

// Chooses files and folders together, which the desktop's own dialog cannot: Qt's dialog with
// several rows of either kind selectable, accepting whatever is selected.
class AddItemsDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit AddItemsDialog(QWidget* parent);

    void accept() override;
};
