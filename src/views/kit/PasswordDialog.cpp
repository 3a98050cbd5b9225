#include "views/kit/PasswordDialog.h"

#include "views/kit/Labels.h"
#include "views/kit/Theme.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace PasswordDialog {

QDialog* ask(const QString& message, QWidget* parent,
             std::function<void(const std::optional<QString>& password)> answered) {
    auto* dialog = new QDialog(parent ? parent : QApplication::activeWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(QStringLiteral(u"输入压缩包密码"));
    dialog->setFixedWidth(360);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->setSpacing(16);

    auto* heading = new QHBoxLayout;
    heading->setSpacing(10);
    heading->addWidget(
        Labels::icon(QStringLiteral("lock-filled"), 20, Theme::color(Theme::Colour::accent), dialog));
    auto* title = new QLabel(QStringLiteral(u"输入压缩包密码"), dialog);
    title->setFont(Theme::font(Theme::TextStyle::headline));
    heading->addWidget(title, 1);
    layout->addLayout(heading);

    auto* text = new QLabel(message, dialog);
    text->setWordWrap(true);
    text->setFont(Theme::font(Theme::TextStyle::callout));
    text->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(text);

    auto* field = new QLineEdit(dialog);
    field->setEchoMode(QLineEdit::Password);
    field->setPlaceholderText(QStringLiteral(u"密码"));
    layout->addWidget(field);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cancel = new QPushButton(QStringLiteral(u"取消"), dialog);
    auto* confirm = Labels::defaultButton(QStringLiteral(u"确定"), {}, dialog);
    cancel->setAutoDefault(false);
    confirm->setAutoDefault(false);
    buttons->addWidget(cancel);
    buttons->addWidget(confirm);
    layout->addLayout(buttons);

    const auto typed = [field] { return field->text().trimmed(); };
    confirm->setEnabled(false);
    QObject::connect(field, &QLineEdit::textChanged, confirm,
                     [confirm, typed] { confirm->setEnabled(!typed().isEmpty()); });
    const auto accept = [dialog, typed] {
        if (!typed().isEmpty()) dialog->accept();
    };
    QObject::connect(field, &QLineEdit::returnPressed, dialog, accept);
    QObject::connect(confirm, &QPushButton::clicked, dialog, accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(dialog, &QDialog::finished, dialog, [typed, answered = std::move(answered)](int result) {
        answered(result == QDialog::Accepted ? std::optional<QString>(typed()) : std::nullopt);
    });
    dialog->open();
    field->setFocus();
    return dialog;
}

}  // namespace PasswordDialog
