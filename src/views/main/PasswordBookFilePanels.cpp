#include "views/main/PasswordBookFilePanels.h"

#include <QDir>
#include <QFileDialog>

namespace {

void openPanel(QFileDialog* dialog, const PasswordBookFilePanels::Chosen& chosen) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog, chosen);
    dialog->open();
}

}  // namespace

void DesktopPasswordBookFilePanels::chooseImportFile(QWidget* parent, Chosen chosen) {
    auto* dialog = new QFileDialog(parent);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral(u"导入"));
    openPanel(dialog, chosen);
}

void DesktopPasswordBookFilePanels::chooseExportFile(QWidget* parent, const QString& proposedName,
                                                     Chosen chosen) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QStringLiteral("JSON (*.json)"));
    dialog->setDefaultSuffix(QStringLiteral("json"));
    dialog->setDirectory(QDir::homePath());
    dialog->selectFile(proposedName);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral(u"导出"));
    openPanel(dialog, chosen);
}
