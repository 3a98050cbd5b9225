#include "views/main/PasswordBookAddSheet.h"

#include "viewmodels/PasswordBookPageRules.h"
#include "viewmodels/PasswordBookViewModel.h"
#include "views/kit/Labels.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void setText(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

}  // namespace

PasswordBookAddSheet::PasswordBookAddSheet(PasswordBookViewModel& model, const QString& bookTitle,
                                           QWidget* parent)
    : QDialog(parent),
      m_model(model),
      m_label(new QLineEdit(this)),
      m_password(new QLineEdit(this)),
      m_save(Labels::defaultButton(QStringLiteral(u"保存"), QStringLiteral("check-circle"), this)) {
    setWindowTitle(QStringLiteral(u"添加") + bookTitle);
    setFixedSize(420, 260);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(16);
    column->addWidget(
        Labels::make(QStringLiteral(u"添加") + bookTitle, Theme::TextStyle::title3, QFont::Bold));
    m_label->setPlaceholderText(QStringLiteral(u"名称，例如：工作压缩包"));
    m_password->setPlaceholderText(QStringLiteral(u"密码"));
    m_password->setEchoMode(QLineEdit::Password);
    column->addWidget(m_label);
    column->addWidget(m_password);
    column->addStretch();
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(QStringLiteral(u"取消"), this);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(m_save);
    column->addLayout(buttons);

    connect(m_label, &QLineEdit::textEdited, &m_model, &PasswordBookViewModel::setNewPasswordBookLabel);
    connect(m_password, &QLineEdit::textEdited, &m_model, &PasswordBookViewModel::setNewPasswordBookPassword);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_save, &QPushButton::clicked, this, &PasswordBookAddSheet::saveRequested);
    connect(this, &QDialog::finished, &m_model, [this] { m_model.setIsAddingPasswordBookEntry(false); });
    connect(&m_model, &PasswordBookViewModel::newPasswordBookFieldsChanged, this,
            &PasswordBookAddSheet::syncFromModel);
    syncFromModel();
}

void PasswordBookAddSheet::syncFromModel() {
    setText(m_label, m_model.newPasswordBookLabel());
    setText(m_password, m_model.newPasswordBookPassword());
    m_save->setEnabled(PasswordBookPageRules::canSave(m_model.newPasswordBookPassword()));
}
