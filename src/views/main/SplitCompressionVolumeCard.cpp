#include "views/main/SplitCompressionVolumeCard.h"

#include "core/split/SplitCompressionPreset.h"
#include "viewmodels/SplitCompressViewModel.h"
#include "views/kit/Labels.h"
#include "views/kit/NumberedSectionTitle.h"
#include "views/main/SplitCompressionPageRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QLabel* wrapped(const QString& text, Theme::TextStyle style, Theme::Colour colour) {
    QLabel* label = Labels::make(text, style, colour);
    label->setWordWrap(true);
    return label;
}

QString rgba(const QColor& color) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

// A bordered button tinted in the accent colour when selected and the secondary colour otherwise.
QString presetStyle(bool highlighted) {
    const Theme::Colour tint = highlighted ? Theme::Colour::accent : Theme::Colour::secondary;
    return QStringLiteral(
               "QPushButton { color: %1; background: %2; border: 1px solid %3; border-radius: 6px;"
               " padding: 4px 2px; }")
        .arg(Theme::color(tint).name(), rgba(Theme::color(tint, highlighted ? 0.12 : 0.06)),
             rgba(Theme::color(tint, 0.35)));
}

}  // namespace

SplitCompressionVolumeCard::SplitCompressionVolumeCard(SplitCompressViewModel& model, QWidget* parent)
    : Card(parent),
      m_model(model),
      m_split(new QCheckBox(QStringLiteral(u"分卷压缩"))),
      m_splitBody(new QWidget),
      m_value(new QLineEdit),
      m_unit(new QComboBox),
      m_warning(Labels::make(QString(), Theme::TextStyle::caption, Theme::Colour::orange)),
      m_sizeMessage(wrapped(QString(), Theme::TextStyle::caption, Theme::Colour::secondary)),
      m_adviceText(wrapped(QString(), Theme::TextStyle::caption, Theme::Colour::secondary)),
      m_offNote(wrapped(QStringLiteral(u"关闭后将创建单个 7Z 压缩包，不生成分卷文件。"),
                        Theme::TextStyle::callout, Theme::Colour::secondary)) {
    contentLayout()->addWidget(new NumberedSectionTitle(2, QStringLiteral(u"分卷设置")));
    contentLayout()->addWidget(m_split);

    auto* body = new QVBoxLayout(m_splitBody);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(16);
    body->addWidget(makeSizeRow());
    m_warning->setWordWrap(true);
    body->addWidget(m_warning);
    body->addWidget(Labels::make(QStringLiteral(u"常用预设"), Theme::TextStyle::headline));
    body->addWidget(makePresetGrid());
    body->addWidget(m_sizeMessage);
    body->addWidget(makeAdviceBox());
    contentLayout()->addWidget(m_splitBody);
    contentLayout()->addWidget(m_offNote);

    connect(m_split, &QCheckBox::toggled, &model, &SplitCompressViewModel::setSplitCompressionEnabled);
    connect(m_value, &QLineEdit::textEdited, &model, &SplitCompressViewModel::setSplitCompressionVolumeValue);
    connect(m_unit, &QComboBox::activated, this, [this](int index) {
        m_model.setSplitCompressionVolumeUnit(SplitCompressionUnits::all().at(size_t(index)));
    });
    connect(&model, &SplitCompressViewModel::changed, this, &SplitCompressionVolumeCard::syncFromModel);
    syncFromModel();
}

QWidget* SplitCompressionVolumeCard::makeSizeRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* label =
        Labels::make(QStringLiteral(u"每卷大小"), Theme::TextStyle::body, Theme::Colour::secondary);
    label->setFixedWidth(78);
    layout->addWidget(label);
    m_value->setPlaceholderText(QStringLiteral("2"));
    m_value->setMinimumWidth(40);
    layout->addWidget(m_value, 1);
    for (SplitCompressionUnit unit : SplitCompressionUnits::all())
        m_unit->addItem(SplitCompressionUnits::rawValue(unit));
    m_unit->setFixedWidth(86);
    layout->addWidget(m_unit);
    return row;
}

QWidget* SplitCompressionVolumeCard::makePresetGrid() {
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(8);
    int index = 0;
    for (const SplitCompressionPreset& preset : SplitCompressionPreset::all()) {
        auto* button = new QPushButton(preset.title);
        button->setMinimumWidth(10);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QPushButton::clicked, this,
                [this, preset] { m_model.applySplitCompressionPreset(preset); });
        layout->addWidget(button, index / 3, index % 3);
        m_presets.append(button);
        ++index;
    }
    for (int column = 0; column < 3; ++column) layout->setColumnStretch(column, 1);
    return grid;
}

QWidget* SplitCompressionVolumeCard::makeAdviceBox() {
    m_advice = new QFrame;
    m_advice->setObjectName(QStringLiteral("adviceBox"));
    m_advice->setStyleSheet(QStringLiteral("#adviceBox { background: %1; border-radius: 8px; }")
                                .arg(rgba(Theme::color(Theme::Colour::accent, 0.08))));
    auto* layout = new QVBoxLayout(m_advice);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(6);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(Labels::make(QStringLiteral(u"智能建议"), Theme::TextStyle::caption, QFont::Bold,
                                    Theme::Colour::accent));
    heading->addWidget(
        Labels::icon(QStringLiteral("info-circle"), 12, Theme::color(Theme::Colour::secondary)));
    heading->addStretch();
    layout->addLayout(heading);
    layout->addWidget(m_adviceText);
    return m_advice;
}

QStringList SplitCompressionVolumeCard::highlightedPresets() const {
    QStringList titles;
    for (const SplitCompressionPreset& preset : SplitCompressionPreset::all()) {
        if (SplitCompressionPageRules::isPresetHighlighted(preset, m_model.splitCompressionSelectedPresetTitle(),
                                                           m_model.splitCompressionVolumeSizeBytes()))
            titles << preset.title;
    }
    return titles;
}

void SplitCompressionVolumeCard::syncFromModel() {
    const bool split = m_model.splitCompressionEnabled();
    {
        const QSignalBlocker blocker(m_split);
        m_split->setChecked(split);
    }
    m_splitBody->setVisible(split);
    m_offNote->setVisible(!split);

    // Only a text that differs is written back, so typing keeps its cursor.
    if (m_value->text() != m_model.splitCompressionVolumeValue())
        m_value->setText(m_model.splitCompressionVolumeValue());
    const auto& units = SplitCompressionUnits::all();
    m_unit->setCurrentIndex(
        int(std::find(units.begin(), units.end(), m_model.splitCompressionVolumeUnit()) - units.begin()));

    const std::optional<QString> warning = SplitCompressionPageRules::volumeSizeWarning(
        m_model.splitCompressionVolumeValue(), m_model.splitCompressionVolumeUnit());
    m_warning->setText(warning.value_or(QString()));
    m_warning->setVisible(warning.has_value());

    const std::optional<QString>& sizeMessage = m_model.splitCompressionVolumeSizeMessage();
    m_sizeMessage->setText(sizeMessage.value_or(QString()));
    m_sizeMessage->setVisible(sizeMessage.has_value());

    const std::optional<QString> advice = m_model.splitCompressionSuggestionMessage();
    m_adviceText->setText(advice.value_or(QString()));
    m_advice->setVisible(advice.has_value());
    syncPresets();
}

void SplitCompressionVolumeCard::syncPresets() {
    const QStringList highlighted = highlightedPresets();
    for (QPushButton* button : m_presets) {
        const QString style = presetStyle(highlighted.contains(button->text()));
        if (button->styleSheet() != style) button->setStyleSheet(style);
    }
}
