#pragma once

#include <QDialog>

class ArchivePreviewWindowModel;
class QLineEdit;
class QMenu;
class QPushButton;

// The sheet that asks for an archive's password: the model's message, a password field that starts
// from the window's password, the password book menu (which only fills the field) and 取消 / 确定.
// Opened with open(); confirming hands the text to the model, which ignores a blank one.
class PasswordSheet : public QDialog {
    Q_OBJECT

public:
    PasswordSheet(ArchivePreviewWindowModel& model, const QString& message, QWidget* parent);

    QLineEdit* passwordField() const { return m_field; }
    QPushButton* confirmButton() const { return m_confirm; }

    void confirm();
    void reject() override;

private:
    void fillPasswordBookMenu();

    ArchivePreviewWindowModel& m_model;
    QLineEdit* m_field = nullptr;
    QPushButton* m_confirm = nullptr;
    QMenu* m_bookMenu = nullptr;
};
