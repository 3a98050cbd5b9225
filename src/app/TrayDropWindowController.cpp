#include "app/TrayDropWindowController.h"

#include "app/TrayDropPlacement.h"
#include "app/TrayDropView.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

QList<TrayDropScreen> currentScreens() {
    QList<TrayDropScreen> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << TrayDropScreen{screen->geometry(), screen->availableGeometry()};
    }
    return screens;
}

std::optional<QRect> primaryAvailableGeometry() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? std::optional<QRect>(primary->availableGeometry()) : std::nullopt;
}

}  // namespace

TrayDropWindowController::TrayDropWindowController(AnchorProvider anchorProvider, DropHandler onDropFiles,
                                                   QObject* parent)
    : QObject(parent),
      m_anchorProvider(std::move(anchorProvider)),
      m_onDropFiles(std::move(onDropFiles)),
      m_view(std::make_unique<TrayDropView>()) {
    connect(m_view.get(), &TrayDropView::targetChanged, this, &TrayDropWindowController::changeTarget);
    connect(m_view.get(), &TrayDropView::closeRequested, this, &TrayDropWindowController::hide);
    connect(m_view.get(), &TrayDropView::filesDropped, this, [this](const QStringList& paths) {
        m_model.isTargeted = false;
        sync();
        m_onDropFiles(paths);
    });
}

TrayDropWindowController::~TrayDropWindowController() = default;

void TrayDropWindowController::showCompact() {
    if (!m_model.isExpanded) {
        positionWindow(false);
        m_view->show();
    }
    m_view->raise();
}

void TrayDropWindowController::hide() {
    m_model.isTargeted = false;
    m_model.isExpanded = false;
    sync();
    m_view->hide();
}

bool TrayDropWindowController::isShown() const { return m_view->isVisible(); }

void TrayDropWindowController::positionWindow(bool expanded) {
    const TrayDropPlacement placement =
        placeTrayDropWindow(m_anchorProvider(), expanded, currentScreens(), primaryAvailableGeometry());
    m_model.pointerOffsetX = placement.pointerOffsetX;
    m_model.pointsDown = placement.pointsDown;
    m_view->setGeometry(placement.frame);
    sync();
}

void TrayDropWindowController::changeTarget(bool targeted) {
    m_model.isTargeted = targeted;
    m_model.isExpanded = targeted;
    positionWindow(targeted);
}

void TrayDropWindowController::sync() { m_view->syncFromModel(m_model); }
