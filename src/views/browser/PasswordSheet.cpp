#include "views/browser/PasswordSheet.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/PasswordBookMenu.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

PasswordSheet::PasswordSheet(ArchivePreviewWindowModel& model, const QString& message, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral(u"输入压缩包密码"));
    setFixedWidth(360);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->setSpacing(16);

    auto* heading = new QHBoxLayout;
    heading->setSpacing(10);
    auto* lock = Labels::icon(QStringLiteral("lock-filled"), 20, Theme::color(Theme::Colour::accent), this);
    auto* title = new QLabel(QStringLiteral(u"输入压缩包密码"), this);
    title->setFont(Theme::font(Theme::TextStyle::headline));
    heading->addWidget(lock);
    heading->addWidget(title, 1);
    layout->addLayout(heading);

    auto* text = new QLabel(message, this);
    text->setWordWrap(true);
    text->setFont(Theme::font(Theme::TextStyle::callout));
    text->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(text);

    m_field = new QLineEdit(model.password(), this);
    m_field->setEchoMode(QLineEdit::Password);
    m_field->setPlaceholderText(QStringLiteral(u"密码"));
    // A password shown again was wrong: what is typed next replaces it.
    m_field->selectAll();
    layout->addWidget(m_field);

    auto* book =
        new QPushButton(Icons::icon(QStringLiteral("key-filled"), Theme::color(Theme::Colour::primary)),
                        QStringLiteral(u"从密码本选择"), this);
    book->setAutoDefault(false);
    m_bookMenu = new QMenu(book);
    book->setMenu(m_bookMenu);
    connect(m_bookMenu, &QMenu::aboutToShow, this, &PasswordSheet::fillPasswordBookMenu);
    layout->addWidget(book, 0, Qt::AlignLeft);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cancel = new QPushButton(QStringLiteral(u"取消"), this);
    m_confirm = Labels::defaultButton(QStringLiteral(u"确定"), {}, this);
    // Return is taken by the field alone (below), so it never reaches a button as well.
    cancel->setAutoDefault(false);
    m_confirm->setAutoDefault(false);
    buttons->addWidget(cancel);
    buttons->addWidget(m_confirm);
    layout->addLayout(buttons);

    const auto updateConfirm = [this] { m_confirm->setEnabled(!m_field->text().trimmed().isEmpty()); };
    updateConfirm();
    connect(m_field, &QLineEdit::textChanged, this, updateConfirm);
    // Return in the field confirms even a blank text: the model ignores it and the sheet stays.
    connect(m_field, &QLineEdit::returnPressed, this, &PasswordSheet::confirm);
    connect(m_confirm, &QPushButton::clicked, this, &PasswordSheet::confirm);
    connect(cancel, &QPushButton::clicked, this, &PasswordSheet::reject);
    fillPasswordBookMenu();
}

void PasswordSheet::fillPasswordBookMenu() {
    PasswordBookMenu::fill(
        *m_bookMenu, m_model.passwordBookMenuEntries(),
        [this](const ArchivePasswordBookEntry& entry) { m_field->setText(entry.password); });
}

void PasswordSheet::confirm() {
    const QString text = m_field->text();
    m_field->clear();
    // The model closes the sheet through its prompt when it takes the password.
    m_model.submitPromptPassword(text);
}

void PasswordSheet::reject() {
    m_field->clear();
    m_model.cancelPasswordPrompt();
    QDialog::reject();
}
