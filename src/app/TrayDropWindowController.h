#pragma once

#include "app/TrayDropModel.h"

#include <QObject>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class TrayDropView;

// Owns the drop panel: shows it compact under the tray icon, expands it while a drag is over it,
// and hands dropped files on.
class TrayDropWindowController : public QObject {
    Q_OBJECT
public:
    // The tray icon's frame in screen coordinates, when the tray reports one.
    using AnchorProvider = std::function<std::optional<QRect>()>;
    using DropHandler = std::function<void(const QStringList& paths)>;

    TrayDropWindowController(AnchorProvider anchorProvider, DropHandler onDropFiles,
                             QObject* parent = nullptr);
    ~TrayDropWindowController() override;

    // Shows the panel compact unless it is already expanded, and raises it without activating.
    void showCompact();
    void hide();

    bool isShown() const;
    const TrayDropModel& model() const { return m_model; }
    TrayDropView* view() const { return m_view.get(); }

private:
    void positionWindow(bool expanded);
    void changeTarget(bool targeted);
    void sync();

    TrayDropModel m_model;
    AnchorProvider m_anchorProvider;
    DropHandler m_onDropFiles;
    std::unique_ptr<TrayDropView> m_view;
};
