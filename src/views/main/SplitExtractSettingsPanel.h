#pragma once

#include "views/kit/Card.h"

class SplitExtractViewModel;
class PathRow;
class QCheckBox;

// The settings card of the split-extract page: the destination with its browse button and the three
// page options, which the model keeps.
class SplitExtractSettingsPanel : public Card {
    Q_OBJECT

public:
    explicit SplitExtractSettingsPanel(SplitExtractViewModel& model, QWidget* parent = nullptr);

    PathRow* destinationRow() const { return m_destination; }
    QCheckBox* openSwitch() const { return m_open; }
    QCheckBox* verifySwitch() const { return m_verify; }
    QCheckBox* notifySwitch() const { return m_notify; }

private:
    void syncFromModel();
    void syncOptions();

    SplitExtractViewModel& m_model;
    PathRow* m_destination;
    QCheckBox* m_open;
    QCheckBox* m_verify;
    QCheckBox* m_notify;
};
