#pragma once

#include "views/kit/Card.h"

class ContentViewState;
class SplitExtractViewModel;
class PathRow;
class QCheckBox;

// The settings card of the split-extract page: the destination with its browse button and the three
// page options, which live in the window's view state.
class SplitExtractSettingsPanel : public Card {
    Q_OBJECT

public:
    SplitExtractSettingsPanel(SplitExtractViewModel& model, ContentViewState& viewState,
                              QWidget* parent = nullptr);

    PathRow* destinationRow() const { return m_destination; }
    QCheckBox* openSwitch() const { return m_open; }
    QCheckBox* verifySwitch() const { return m_verify; }
    QCheckBox* notifySwitch() const { return m_notify; }

private:
    void browse();
    void syncFromModel();
    void syncFromViewState();

    SplitExtractViewModel& m_model;
    ContentViewState& m_viewState;
    PathRow* m_destination;
    QCheckBox* m_open;
    QCheckBox* m_verify;
    QCheckBox* m_notify;
};
