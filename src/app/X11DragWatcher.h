#pragma once

#include "app/DragWatcher.h"

#include <xcb/xcb.h>
#include <QString>

class QSocketNotifier;

// Watches drags on an X11 display through a connection of its own: XFixes reports every new owner of
// XdndSelection (a drag has begun), the selection is then converted to text/uri-list to see whether
// it carries files, and XInput2 raw button events on the root window report the left button's
// release, which the dragging application's pointer grab does not hide.
class X11DragWatcher : public DragWatcher {
    Q_OBJECT
public:
    // An empty display name means $DISPLAY.
    explicit X11DragWatcher(QString displayName = {}, QObject* parent = nullptr);
    ~X11DragWatcher() override;

    bool start() override;
    qint64 changeCount() const override { return m_changeCount; }
    bool isDraggingFiles() const override { return m_isDraggingFiles; }

private:
    bool connectToDisplay();
    bool watchSelectionOwner();
    bool watchButtonReleases();
    void readEvents();
    void handleEvent(const xcb_generic_event_t* event);
    void requestUriList(xcb_timestamp_t timestamp);
    void finishExamination(xcb_atom_t property);
    QByteArray takeProperty(xcb_atom_t property);

    QString m_displayName;
    xcb_connection_t* m_connection = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_selectionAtom = XCB_ATOM_NONE;
    xcb_atom_t m_uriListAtom = XCB_ATOM_NONE;
    xcb_atom_t m_propertyAtom = XCB_ATOM_NONE;
    xcb_atom_t m_incrAtom = XCB_ATOM_NONE;
    uint8_t m_xfixesFirstEvent = 0;
    uint8_t m_xinputOpcode = 0;
    // The drag being examined: its owner-change count and the time its conversion was asked for.
    qint64 m_pendingCount = 0;
    xcb_timestamp_t m_pendingTimestamp = XCB_CURRENT_TIME;
    qint64 m_changeCount = 0;
    bool m_isDraggingFiles = false;
};
