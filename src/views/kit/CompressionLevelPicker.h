#pragma once

#include "core/base/CompressionLevel.h"

#include <QWidget>

class QComboBox;

// "压缩级别" in a 110 px column and a 130 px menu of the three levels. levelChosen is emitted only
// for the user's choices.
class CompressionLevelPicker : public QWidget {
    Q_OBJECT

public:
    explicit CompressionLevelPicker(QWidget* parent = nullptr);

    CompressionLevel selectedLevel() const;
    void setSelectedLevel(CompressionLevel level);
    QComboBox* menu() const { return m_menu; }

Q_SIGNALS:
    void levelChosen(CompressionLevel level);

private:
    QComboBox* m_menu;
};
