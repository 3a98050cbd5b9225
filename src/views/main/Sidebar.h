#pragma once

#include "core/state/WorkbenchSection.h"

#include <QWidget>
#include <map>

class ContentViewState;
class WorkbenchContext;
class QPropertyAnimation;
class SidebarButton;

// The main window's left column, 304 px wide: the application header and the navigation list. An
// entry selects its page and reloads the model's settings; the split-archive group header only opens
// or closes the group (sliding, in 0.16 s), and is highlighted while one of its pages is shown.
class Sidebar : public QWidget {
    Q_OBJECT

public:
    Sidebar(WorkbenchContext& model, ContentViewState& viewState, QWidget* parent = nullptr);

    // The entry of a page (the split pages' entries are the group's children).
    SidebarButton* button(WorkbenchSection section) const { return m_buttons.at(section); }
    SidebarButton* groupHeader() const { return m_groupHeader; }
    QWidget* groupChildren() const { return m_groupChildren; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildNavigation();
    SidebarButton* addButton(WorkbenchSection section, bool child, QWidget* parent);
    void syncFromModel();
    void slideGroup();

    WorkbenchContext& m_model;
    ContentViewState& m_viewState;
    std::map<WorkbenchSection, SidebarButton*> m_buttons;
    SidebarButton* m_groupHeader = nullptr;
    QWidget* m_groupChildren = nullptr;
    QPropertyAnimation* m_groupSlide = nullptr;
};
