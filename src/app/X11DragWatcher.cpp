#include "app/X11DragWatcher.h"

#include <xcb/xfixes.h>
#include <xcb/xinput.h>
#include <QSocketNotifier>
#include <cstdlib>
#include <memory>

namespace {

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XcbReply<T> reply(T* value) {
    return XcbReply<T>(value, &std::free);
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const auto answer =
        reply(xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, strlen(name), name), nullptr));
    return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
}

constexpr uint32_t kLeftButton = 1;

}  // namespace

X11DragWatcher::X11DragWatcher(QString displayName, QObject* parent)
    : DragWatcher(parent), m_displayName(std::move(displayName)) {}

X11DragWatcher::~X11DragWatcher() {
    delete m_notifier;
    if (m_connection) xcb_disconnect(m_connection);
}

bool X11DragWatcher::start() {
    if (m_connection) return m_notifier != nullptr;
    if (!connectToDisplay() || !watchSelectionOwner() || !watchButtonReleases()) return false;
    xcb_flush(m_connection);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11DragWatcher::readEvents);
    readEvents();
    return true;
}

bool X11DragWatcher::connectToDisplay() {
    const QByteArray name = m_displayName.toLocal8Bit();
    int screenNumber = 0;
    m_connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) return false;

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) return false;
    m_root = screens.data->root;

    // An invisible window of our own to receive the converted selection.
    m_window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, -10, -10, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    m_selectionAtom = internAtom(m_connection, "XdndSelection");
    m_uriListAtom = internAtom(m_connection, "text/uri-list");
    m_propertyAtom = internAtom(m_connection, "VELMORA_DRAG_URIS");
    m_incrAtom = internAtom(m_connection, "INCR");
    return m_selectionAtom != XCB_ATOM_NONE && m_uriListAtom != XCB_ATOM_NONE &&
           m_propertyAtom != XCB_ATOM_NONE;
}

bool X11DragWatcher::watchSelectionOwner() {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (!extension || !extension->present) return false;
    const auto version = reply(xcb_xfixes_query_version_reply(
        m_connection,
        xcb_xfixes_query_version(m_connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr));
    if (!version || version->major_version < 1) return false;
    m_xfixesFirstEvent = extension->first_event;
    xcb_xfixes_select_selection_input(m_connection, m_window, m_selectionAtom,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    return true;
}

bool X11DragWatcher::watchButtonReleases() {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_input_id);
    if (!extension || !extension->present) return false;
    // Raw events reach the root window during another client's grab only from XInput 2.1 on.
    const auto version = reply(xcb_input_xi_query_version_reply(
        m_connection, xcb_input_xi_query_version(m_connection, 2, 2), nullptr));
    if (!version || version->major_version < 2 ||
        (version->major_version == 2 && version->minor_version < 1)) {
        return false;
    }
    m_xinputOpcode = extension->major_opcode;
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } selection = {{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE};
    xcb_input_xi_select_events(m_connection, m_root, 1, &selection.head);
    return true;
}

void X11DragWatcher::readEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        handleEvent(event);
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) m_notifier->setEnabled(false);
}

void X11DragWatcher::handleEvent(const xcb_generic_event_t* event) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == m_xfixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
        if (notify->owner != XCB_NONE) {
            ++m_pendingCount;
            requestUriList(notify->selection_timestamp);
        }
    } else if (type == XCB_SELECTION_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        // An answer to a conversion that a newer drag has overtaken is dropped.
        if (notify->requestor == m_window && notify->time == m_pendingTimestamp)
            finishExamination(notify->property);
    } else if (type == XCB_GE_GENERIC) {
        const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
        if (generic->extension != m_xinputOpcode || generic->event_type != XCB_INPUT_RAW_BUTTON_RELEASE)
            return;
        if (reinterpret_cast<const xcb_input_raw_button_release_event_t*>(event)->detail == kLeftButton) {
            Q_EMIT mouseReleased();
        }
    }
}

void X11DragWatcher::requestUriList(xcb_timestamp_t timestamp) {
    m_pendingTimestamp = timestamp;
    xcb_convert_selection(m_connection, m_window, m_selectionAtom, m_uriListAtom, m_propertyAtom, timestamp);
    xcb_flush(m_connection);
}

void X11DragWatcher::finishExamination(xcb_atom_t property) {
    const QByteArray uriList = property == XCB_ATOM_NONE ? QByteArray() : takeProperty(property);
    m_changeCount = m_pendingCount;
    m_isDraggingFiles = namesExistingItem(uriList);
    Q_EMIT mouseDragged();
}

// A list too large for one property (INCR) reads as empty: the panel is then not shown.
QByteArray X11DragWatcher::takeProperty(xcb_atom_t property) {
    const auto value = reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1fffffff),
        nullptr));
    if (!value || value->type == m_incrAtom || value->format != 8) return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(value.get())),
                      xcb_get_property_value_length(value.get()));
}
