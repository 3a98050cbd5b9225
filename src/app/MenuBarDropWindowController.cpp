#include "app/MenuBarDropWindowController.h"

#include "app/MenuBarDropPlacement.h"
#include "app/MenuBarDropView.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

QList<MenuBarDropScreen> currentScreens() {
    QList<MenuBarDropScreen> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << MenuBarDropScreen{screen->geometry(), screen->availableGeometry()};
    }
    return screens;
}

std::optional<QRect> primaryAvailableGeometry() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? std::optional<QRect>(primary->availableGeometry()) : std::nullopt;
}

}  // namespace

MenuBarDropWindowController::MenuBarDropWindowController(AnchorProvider anchorProvider,
                                                         DropHandler onDropFiles, QObject* parent)
    : QObject(parent),
      m_anchorProvider(std::move(anchorProvider)),
      m_onDropFiles(std::move(onDropFiles)),
      m_view(std::make_unique<MenuBarDropView>()) {
    connect(m_view.get(), &MenuBarDropView::targetChanged, this, &MenuBarDropWindowController::changeTarget);
    connect(m_view.get(), &MenuBarDropView::closeRequested, this, &MenuBarDropWindowController::hide);
    connect(m_view.get(), &MenuBarDropView::filesDropped, this, [this](const QStringList& paths) {
        m_model.isTargeted = false;
        sync();
        m_onDropFiles(paths);
    });
}

MenuBarDropWindowController::~MenuBarDropWindowController() = default;

void MenuBarDropWindowController::showCompact() {
    if (!m_model.isExpanded) {
        positionWindow(false);
        m_view->show();
    }
    m_view->raise();
}

void MenuBarDropWindowController::hide() {
    m_model.isTargeted = false;
    m_model.isExpanded = false;
    sync();
    m_view->hide();
}

bool MenuBarDropWindowController::isShown() const { return m_view->isVisible(); }

void MenuBarDropWindowController::positionWindow(bool expanded) {
    const MenuBarDropPlacement placement =
        placeMenuBarDropWindow(m_anchorProvider(), expanded, currentScreens(), primaryAvailableGeometry());
    m_model.pointerOffsetX = placement.pointerOffsetX;
    m_view->setGeometry(placement.frame);
    sync();
}

void MenuBarDropWindowController::changeTarget(bool targeted) {
    m_model.isTargeted = targeted;
    m_model.isExpanded = targeted;
    positionWindow(targeted);
}

void MenuBarDropWindowController::sync() { m_view->syncFromModel(m_model); }
