#include "views/main/Sidebar.h"

#include "viewmodels/WorkbenchContext.h"
#include "views/kit/Labels.h"
#include "views/kit/SidebarButton.h"
#include "views/main/ContentViewState.h"

#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 304;

bool isSplitSection(WorkbenchSection section) {
    return section == WorkbenchSection::splitCompress || section == WorkbenchSection::splitExtract;
}

// The rounded panel behind the navigation list.
class NavigationPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Theme::color(Theme::Colour::secondary, 0.1), 1));
        painter.setBrush(Theme::color(Theme::Colour::windowBackground, 0.32));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
    }
};

}  // namespace

Sidebar::Sidebar(WorkbenchContext& model, ContentViewState& viewState, QWidget* parent)
    : QWidget(parent), m_model(model), m_viewState(viewState) {
    setFixedWidth(kWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 28, 20, 18);
    column->setSpacing(18);
    column->addWidget(buildHeader());
    column->addWidget(buildNavigation(), 1);

    connect(&m_model, &WorkbenchContext::selectedSectionChanged, this, &Sidebar::syncFromModel);
    connect(&m_viewState, &ContentViewState::isSplitArchiveGroupExpandedChanged, this, &Sidebar::slideGroup);
    syncFromModel();
    m_groupChildren->setVisible(m_viewState.isSplitArchiveGroupExpanded());
}

QWidget* Sidebar::buildHeader() {
    auto* header = new QWidget(this);
    header->setFixedHeight(116);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(Labels::icon(QStringLiteral("velmoraIcon"), 56, {}), 0, Qt::AlignHCenter);
    layout->addWidget(Labels::make(QStringLiteral("velmora"), Theme::TextStyle::title3, QFont::Bold), 0,
                      Qt::AlignHCenter);
    layout->addWidget(
        Labels::make(QStringLiteral(u"专业解压缩工具"), Theme::TextStyle::callout, Theme::Colour::secondary),
        0, Qt::AlignHCenter);
    return header;
}

QWidget* Sidebar::buildNavigation() {
    auto* panel = new NavigationPanel(this);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 2, 0, 6);
    auto* scroll = new QScrollArea(panel);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    panelLayout->addWidget(scroll);

    auto* list = new QWidget(scroll);
    auto* entries = new QVBoxLayout(list);
    entries->setContentsMargins(6, 10, 6, 10);
    entries->setSpacing(8);
    for (const WorkbenchSection section :
         {WorkbenchSection::home, WorkbenchSection::compress, WorkbenchSection::extract}) {
        entries->addWidget(addButton(section, false, list));
    }

    m_groupHeader = new SidebarButton(QStringLiteral(u"分卷解压缩"), QStringLiteral("stack-plus"),
                                      SidebarButton::Variant::groupHeader, list);
    connect(m_groupHeader, &SidebarButton::clicked, this, [this] {
        m_viewState.setIsSplitArchiveGroupExpanded(!m_viewState.isSplitArchiveGroupExpanded());
    });
    entries->addWidget(m_groupHeader);
    m_groupChildren = new QWidget(list);
    auto* children = new QVBoxLayout(m_groupChildren);
    children->setContentsMargins(18, 0, 0, 0);
    children->setSpacing(6);
    children->addWidget(addButton(WorkbenchSection::splitCompress, true, m_groupChildren));
    children->addWidget(addButton(WorkbenchSection::splitExtract, true, m_groupChildren));
    entries->addWidget(m_groupChildren);
    m_groupSlide = new QPropertyAnimation(m_groupChildren, "maximumHeight", this);
    m_groupSlide->setDuration(160);
    m_groupSlide->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_groupSlide, &QPropertyAnimation::finished, this, [this] {
        const bool expanded = m_viewState.isSplitArchiveGroupExpanded();
        m_groupChildren->setVisible(expanded);
        m_groupChildren->setMaximumHeight(QWIDGETSIZE_MAX);
    });

    for (const WorkbenchSection section :
         {WorkbenchSection::passwordBook, WorkbenchSection::tasks, WorkbenchSection::history,
          WorkbenchSection::settings, WorkbenchSection::about}) {
        entries->addWidget(addButton(section, false, list));
    }
    entries->addStretch();
    scroll->setWidget(list);
    // The panel's rounded shape shows through.
    list->setAutoFillBackground(false);
    return panel;
}

SidebarButton* Sidebar::addButton(WorkbenchSection section, bool child, QWidget* parent) {
    auto* button =
        new SidebarButton(WorkbenchSections::title(section), WorkbenchSections::iconName(section),
                          child ? SidebarButton::Variant::child : SidebarButton::Variant::topLevel, parent);
    connect(button, &SidebarButton::clicked, this, [this, section, child] {
        m_model.setSelectedSection(section);
        if (child) m_viewState.setIsSplitArchiveGroupExpanded(true);
        m_model.refresh();
    });
    m_buttons[section] = button;
    return button;
}

void Sidebar::syncFromModel() {
    const WorkbenchSection selected = m_model.selectedSection();
    for (const auto& [section, button] : m_buttons) button->setSelected(section == selected);
    m_groupHeader->setSelected(isSplitSection(selected));
    m_groupHeader->setExpanded(m_viewState.isSplitArchiveGroupExpanded());
}

void Sidebar::slideGroup() {
    const bool expanded = m_viewState.isSplitArchiveGroupExpanded();
    m_groupHeader->setExpanded(expanded);
    const int shown = m_groupChildren->isHidden() ? 0 : m_groupChildren->height();
    m_groupSlide->stop();
    m_groupSlide->setStartValue(shown);
    m_groupSlide->setEndValue(expanded ? m_groupChildren->sizeHint().height() : 0);
    m_groupChildren->setMaximumHeight(shown);
    m_groupChildren->show();
    m_groupSlide->start();
}

void Sidebar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Theme::color(Theme::Colour::controlBackground, 0.46));
}
