#pragma once

#include <QFileDialog>

// A file dialog that accepts files and folders together: "Open" takes the selection as it is, and
// double-clicking a folder still enters it. Qt's own dialog is used, since the desktop's native
// dialogs choose either files or folders.
class FileAndFolderDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit FileAndFolderDialog(bool multipleSelection, QWidget* parent = nullptr);

    void accept() override;
};
