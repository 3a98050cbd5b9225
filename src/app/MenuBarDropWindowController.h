#pragma once

#include "app/MenuBarDropModel.h"

#include <QObject>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class MenuBarDropView;

// Owns the drop panel: shows it compact under the tray icon, expands it while a drag is over it,
// and hands dropped files on.
class MenuBarDropWindowController : public QObject {
    Q_OBJECT
public:
    // The tray icon's frame in screen coordinates, when the tray reports one.
    using AnchorProvider = std::function<std::optional<QRect>()>;
    using DropHandler = std::function<void(const QStringList& paths)>;

    MenuBarDropWindowController(AnchorProvider anchorProvider, DropHandler onDropFiles,
                                QObject* parent = nullptr);
    ~MenuBarDropWindowController() override;

    // Shows the panel compact unless it is already expanded, and raises it without activating.
    void showCompact();
    void hide();

    bool isShown() const;
    const MenuBarDropModel& model() const { return m_model; }
    MenuBarDropView* view() const { return m_view.get(); }

private:
    void positionWindow(bool expanded);
    void changeTarget(bool targeted);
    void sync();

    MenuBarDropModel m_model;
    AnchorProvider m_anchorProvider;
    DropHandler m_onDropFiles;
    std::unique_ptr<MenuBarDropView> m_view;
};
