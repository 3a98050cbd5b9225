#include "views/main/PasswordBookFilePanels.h"

#include "views/kit/FileDialogs.h"

#include <QFileDialog>

namespace {

const QString kPurpose = QStringLiteral("passwordBookFile");

QFileDialog* makeDialog(QWidget* parent) {
    auto* dialog = new QFileDialog(parent);
    FileDialogs::showListingInChinese(dialog);
    dialog->setDirectory(FileDialogs::startFolder(kPurpose, {}));
    return dialog;
}

void openFileDialog(QFileDialog* dialog, const PasswordBookFilePanels::Chosen& chosen) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [chosen](const QString& file) {
        FileDialogs::remember(kPurpose, {file});
        chosen(file);
    });
    dialog->open();
}

}  // namespace

void DesktopPasswordBookFilePanels::chooseImportFile(QWidget* parent, Chosen chosen) {
    QFileDialog* dialog = makeDialog(parent);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral(u"导入"));
    openFileDialog(dialog, chosen);
}

void DesktopPasswordBookFilePanels::chooseExportFile(QWidget* parent, const QString& proposedName,
                                                     Chosen chosen) {
    QFileDialog* dialog = makeDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QStringLiteral("JSON (*.json)"));
    dialog->setDefaultSuffix(QStringLiteral("json"));
    dialog->selectFile(proposedName);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral(u"导出"));
    openFileDialog(dialog, chosen);
}
