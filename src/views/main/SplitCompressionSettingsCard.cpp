#include "views/main/SplitCompressionSettingsCard.h"

#include "core/base/CompressionFormat.h"
#include "core/split/SplitCompressionPlanner.h"
#include "viewmodels/SplitCompressViewModel.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/NumberedSectionTitle.h"
#include "views/kit/ReadOnlyRow.h"
#include "views/main/SplitCompressionPageRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

QLabel* note(const QString& text, Theme::Colour colour) {
    QLabel* label = Labels::make(text, Theme::TextStyle::caption, colour);
    label->setWordWrap(true);
    return label;
}

// A picker that never asks for more width than the card has: long entries are cut, not the card.
QComboBox* narrowPicker() {
    auto* picker = new QComboBox;
    picker->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    picker->setMinimumContentsLength(4);
    picker->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return picker;
}

void selectData(QComboBox* picker, int value) {
    const QSignalBlocker blocker(picker);
    picker->setCurrentIndex(picker->findData(value));
}

}  // namespace

SplitCompressionSettingsCard::SplitCompressionSettingsCard(SplitCompressViewModel& model, QWidget* parent)
    : Card(parent),
      m_model(model),
      m_format(narrowPicker()),
      m_level(narrowPicker()),
      m_method(new ReadOnlyRow(QStringLiteral(u"压缩方式"))),
      m_dictionary(new ReadOnlyRow(QStringLiteral(u"字典大小"))),
      m_passwordSwitch(new QCheckBox(QStringLiteral(u"设置密码"))),
      m_password(new QLineEdit),
      m_confirmation(new QLineEdit),
      m_eye(new QToolButton),
      m_mismatch(note(QStringLiteral(u"两次输入的密码不一致，请重新确认。"), Theme::Colour::orange)),
      m_zipNote(note(QStringLiteral(u"ZIP 分卷压缩当前使用系统 Info-ZIP 创建标准分卷，暂不启用加密。"),
                     Theme::Colour::secondary)),
      m_validate(new QCheckBox(QStringLiteral(u"完成后验证压缩包"))) {
    for (CompressionFormat format : SplitCompressionPlanner::supportedCreationFormats())
        m_format->addItem(CompressionFormats::displayName(format), int(format));
    for (CompressionLevel level : CompressionLevels::all())
        m_level->addItem(CompressionLevels::displayName(level), int(level));

    contentLayout()->addWidget(new NumberedSectionTitle(3, QStringLiteral(u"压缩设置")));
    contentLayout()->addWidget(pickerRow(QStringLiteral(u"压缩格式"), m_format));
    contentLayout()->addWidget(pickerRow(QStringLiteral(u"压缩等级"), m_level));
    contentLayout()->addWidget(m_method);
    contentLayout()->addWidget(m_dictionary);
    contentLayout()->addWidget(m_passwordSwitch);
    contentLayout()->addWidget(makePasswordRow());
    contentLayout()->addWidget(m_mismatch);
    contentLayout()->addWidget(m_zipNote);
    contentLayout()->addWidget(m_validate);
    contentLayout()->addWidget(
        note(QStringLiteral(u"当前使用 7-Zip 原生校验；RAR 创建和恢复记录暂未接入合法创建组件。"),
             Theme::Colour::secondary));

    connect(m_format, &QComboBox::activated, this, [this] {
        m_model.setSplitCompressionFormat(CompressionFormat(m_format->currentData().toInt()));
    });
    connect(m_level, &QComboBox::activated, this,
            [this] { m_model.setSplitCompressionLevel(CompressionLevel(m_level->currentData().toInt())); });
    connect(m_passwordSwitch, &QCheckBox::toggled, &model,
            &SplitCompressViewModel::setSplitCompressionPasswordEnabled);
    connect(m_password, &QLineEdit::textEdited, &model, &SplitCompressViewModel::setSplitCompressionPassword);
    connect(m_confirmation, &QLineEdit::textEdited, &model,
            &SplitCompressViewModel::setSplitCompressionPasswordConfirmation);
    connect(m_validate, &QCheckBox::toggled, &model,
            &SplitCompressViewModel::setSplitCompressionValidateAfterCompletion);
    connect(m_eye, &QToolButton::clicked, this, [this] {
        m_model.setShowSplitCompressionPassword(!m_model.showSplitCompressionPassword());
    });
    connect(&model, &SplitCompressViewModel::changed, this, &SplitCompressionSettingsCard::syncFromModel);
    syncFromModel();
}

QWidget* SplitCompressionSettingsCard::pickerRow(const QString& title, QComboBox* picker) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* label = Labels::make(title, Theme::TextStyle::body, Theme::Colour::secondary);
    label->setFixedWidth(82);
    layout->addWidget(label);
    layout->addWidget(picker, 1);
    return row;
}

QWidget* SplitCompressionSettingsCard::makePasswordRow() {
    m_passwordRow = new QWidget;
    auto* layout = new QHBoxLayout(m_passwordRow);
    layout->setContentsMargins(0, 0, 0, 0);
    m_password->setPlaceholderText(QStringLiteral(u"密码"));
    m_confirmation->setPlaceholderText(QStringLiteral(u"确认密码"));
    for (QLineEdit* field : {m_password, m_confirmation}) {
        field->setMinimumWidth(40);
        layout->addWidget(field, 1);
    }
    m_eye->setAutoRaise(true);
    m_eye->setIconSize(QSize(16, 16));
    m_eye->setCursor(Qt::PointingHandCursor);
    layout->addWidget(m_eye);
    return m_passwordRow;
}

QString SplitCompressionSettingsCard::methodText() const { return m_method->value(); }

void SplitCompressionSettingsCard::syncFromModel() {
    const CompressionFormat format = m_model.splitCompressionFormat();
    selectData(m_format, int(format));
    selectData(m_level, int(m_model.splitCompressionLevel()));
    m_method->setValue(SplitCompressionPageRules::compressionMethodText(format));
    m_dictionary->setValue(SplitCompressionPageRules::dictionarySizeText(format));

    // Locked for split ZIP, but its value stays: a password switched on for 7Z is still shown, and the
    // run refuses it.
    const bool locked =
        SplitCompressionPageRules::zipSplitLocksPassword(m_model.splitCompressionEnabled(), format);
    const bool passwordOn = m_model.splitCompressionPasswordEnabled();
    m_passwordSwitch->setEnabled(!locked);
    {
        const QSignalBlocker blocker(m_passwordSwitch);
        m_passwordSwitch->setChecked(passwordOn);
    }
    m_passwordRow->setVisible(passwordOn);
    if (m_password->text() != m_model.splitCompressionPassword())
        m_password->setText(m_model.splitCompressionPassword());
    if (m_confirmation->text() != m_model.splitCompressionPasswordConfirmation())
        m_confirmation->setText(m_model.splitCompressionPasswordConfirmation());
    m_mismatch->setVisible(passwordOn && m_model.splitCompressionPassword() !=
                                             m_model.splitCompressionPasswordConfirmation());
    m_zipNote->setVisible(locked);
    {
        const QSignalBlocker blocker(m_validate);
        m_validate->setChecked(m_model.splitCompressionValidateAfterCompletion());
    }
    syncPasswordVisibility();
}

void SplitCompressionSettingsCard::syncPasswordVisibility() {
    const bool shown = m_model.showSplitCompressionPassword();
    const QLineEdit::EchoMode mode = shown ? QLineEdit::Normal : QLineEdit::Password;
    // Runs with every change of the model; only a toggle sets the fields and the icon again.
    if (m_password->echoMode() == mode && !m_eye->icon().isNull()) return;
    m_password->setEchoMode(mode);
    m_confirmation->setEchoMode(mode);
    m_eye->setIcon(Icons::icon(shown ? QStringLiteral("eye-crossed") : QStringLiteral("eye"),
                               Theme::color(Theme::Colour::secondary)));
}
