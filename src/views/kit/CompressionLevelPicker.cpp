#include "views/kit/CompressionLevelPicker.h"

#include "views/kit/Labels.h"
#include "views/kit/WorkbenchTexts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

CompressionLevelPicker::CompressionLevelPicker(QWidget* parent)
    : QWidget(parent), m_menu(new QComboBox(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* label =
        Labels::make(QStringLiteral(u"压缩级别"), Theme::TextStyle::body, Theme::Colour::secondary);
    label->setFixedWidth(110);
    layout->addWidget(label);
    for (const CompressionLevel level : CompressionLevels::all()) {
        m_menu->addItem(CompressionLevels::displayName(level), static_cast<int>(level));
    }
    m_menu->setFixedWidth(130);
    layout->addWidget(m_menu);
    layout->addStretch();
    connect(m_menu, &QComboBox::activated, this, [this] { Q_EMIT levelChosen(selectedLevel()); });
}

CompressionLevel CompressionLevelPicker::selectedLevel() const {
    return static_cast<CompressionLevel>(m_menu->currentData().toInt());
}

void CompressionLevelPicker::setSelectedLevel(CompressionLevel level) {
    const QSignalBlocker blocker(m_menu);
    m_menu->setCurrentIndex(m_menu->findData(static_cast<int>(level)));
}
