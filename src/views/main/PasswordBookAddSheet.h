#pragma once

#include <QDialog>

class PasswordBookViewModel;
class QLineEdit;
class QPushButton;

// The add-password sheet: a name and a masked password for the shown book. Its fields edit the model's
// newPasswordBookLabel and newPasswordBookPassword; "保存" asks for the save, and any way of closing it
// clears isAddingPasswordBookEntry.
class PasswordBookAddSheet : public QDialog {
    Q_OBJECT

public:
    PasswordBookAddSheet(PasswordBookViewModel& model, const QString& bookTitle, QWidget* parent = nullptr);

    QLineEdit* labelField() const { return m_label; }
    QLineEdit* passwordField() const { return m_password; }
    QPushButton* saveButton() const { return m_save; }

Q_SIGNALS:
    void saveRequested();

private:
    void syncFromModel();

    PasswordBookViewModel& m_model;
    QLineEdit* m_label;
    QLineEdit* m_password;
    QPushButton* m_save;
};
