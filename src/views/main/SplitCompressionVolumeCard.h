#pragma once

#include "views/kit/Card.h"

#include <QList>

class SplitCompressViewModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Card 2 of the split-compress page: the split switch, the volume size with its unit, the presets,
// and the warning, size message and advice the model gives.
class SplitCompressionVolumeCard : public Card {
    Q_OBJECT

public:
    explicit SplitCompressionVolumeCard(SplitCompressViewModel& model, QWidget* parent = nullptr);

    QCheckBox* splitSwitch() const { return m_split; }
    QLineEdit* volumeField() const { return m_value; }
    QComboBox* unitPicker() const { return m_unit; }
    const QList<QPushButton*>& presetButtons() const { return m_presets; }
    // The titles of the presets drawn as selected.
    QStringList highlightedPresets() const;
    QLabel* warning() const { return m_warning; }
    QLabel* sizeMessage() const { return m_sizeMessage; }
    QWidget* adviceBox() const { return m_advice; }
    QLabel* offNote() const { return m_offNote; }

private:
    QWidget* makeSizeRow();
    QWidget* makePresetGrid();
    QWidget* makeAdviceBox();
    void syncFromModel();
    void syncPresets();

    SplitCompressViewModel& m_model;
    QCheckBox* m_split;
    QWidget* m_splitBody;
    QLineEdit* m_value;
    QComboBox* m_unit;
    QLabel* m_warning;
    QList<QPushButton*> m_presets;
    QLabel* m_sizeMessage;
    QWidget* m_advice;
    QLabel* m_adviceText;
    QLabel* m_offNote;
};
