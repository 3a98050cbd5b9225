#pragma once

#include "views/kit/Card.h"

class SplitCompressViewModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class ReadOnlyRow;

// Card 3 of the split-compress page: format, level, the method and dictionary notes, the password
// with its confirmation, and validation after writing.
class SplitCompressionSettingsCard : public Card {
    Q_OBJECT

public:
    explicit SplitCompressionSettingsCard(SplitCompressViewModel& model, QWidget* parent = nullptr);

    QComboBox* formatPicker() const { return m_format; }
    QString methodText() const;
    QCheckBox* passwordSwitch() const { return m_passwordSwitch; }
    QWidget* passwordRow() const { return m_passwordRow; }
    QLineEdit* passwordField() const { return m_password; }
    QLineEdit* confirmationField() const { return m_confirmation; }
    QToolButton* eyeButton() const { return m_eye; }
    QLabel* mismatchWarning() const { return m_mismatch; }
    QLabel* zipNote() const { return m_zipNote; }

private:
    QWidget* pickerRow(const QString& title, QComboBox* picker);
    QWidget* makePasswordRow();
    void syncFromModel();
    void syncPasswordVisibility();

    SplitCompressViewModel& m_model;
    QComboBox* m_format;
    QComboBox* m_level;
    ReadOnlyRow* m_method;
    ReadOnlyRow* m_dictionary;
    QCheckBox* m_passwordSwitch;
    QWidget* m_passwordRow;
    QLineEdit* m_password;
    QLineEdit* m_confirmation;
    QToolButton* m_eye;
    QLabel* m_mismatch;
    QLabel* m_zipNote;
    QCheckBox* m_validate;
};
