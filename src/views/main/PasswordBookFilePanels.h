#pragma once

#include <QString>
#include <functional>

class QWidget;

// The file panels of the password book's import and export. The page asks through this interface, so
// tests answer without a dialog; the desktop implementation opens window-modal file dialogs. `chosen`
// runs once a file is chosen and never when the panel is cancelled.
class PasswordBookFilePanels {
public:
    using Chosen = std::function<void(const QString& path)>;

    virtual ~PasswordBookFilePanels() = default;

    // One existing file to import.
    virtual void chooseImportFile(QWidget* parent, Chosen chosen) = 0;
    // Where to write the export, proposing the file name.
    virtual void chooseExportFile(QWidget* parent, const QString& proposedName, Chosen chosen) = 0;
};

class DesktopPasswordBookFilePanels : public PasswordBookFilePanels {
public:
    void chooseImportFile(QWidget* parent, Chosen chosen) override;
    void chooseExportFile(QWidget* parent, const QString& proposedName, Chosen chosen) override;
};
