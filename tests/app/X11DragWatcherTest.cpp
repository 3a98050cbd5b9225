#include "app/X11DragWatcher.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>
#include <cstdlib>
#include <cstring>

namespace {

// A private X server for one test; its display number is chosen by the server itself.
class XvfbServer {
public:
    ~XvfbServer() {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }

    bool start() {
        m_process.start(kProgram, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
        if (!m_process.waitForStarted(10000)) return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(20000)) return false;
        }
        m_display = ":" + QString::fromLatin1(m_process.readLine().trimmed());
        return true;
    }

    static bool available() { return !QStandardPaths::findExecutable(kProgram).isEmpty(); }
    const QString& display() const { return m_display; }

private:
    static inline const QString kProgram = "Xvfb";
    QProcess m_process;
    QString m_display;
};

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* answer =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, strlen(name), name), nullptr);
    const xcb_atom_t value = answer->atom;
    std::free(answer);
    return value;
}

// Another X client that starts a drag the way toolkits do: it takes XdndSelection and answers
// conversions to text/uri-list with the given list, or refuses them when the list is empty.
class DragSource {
public:
    DragSource(const QString& display, QByteArray uriList) : m_uriList(std::move(uriList)) {
        m_connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        m_selection = atom(m_connection, "XdndSelection");
        m_uriListTarget = atom(m_connection, "text/uri-list");
    }
    ~DragSource() { xcb_disconnect(m_connection); }

    void beginDrag() {
        xcb_set_selection_owner(m_connection, m_window, m_selection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

    void releaseLeftButton() {
        xcb_test_fake_input(m_connection, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(m_connection, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        // A round trip: the server has acted on both before this returns.
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // Answers the conversion requests that have arrived.
    void serve() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                answer(*reinterpret_cast<xcb_selection_request_event_t*>(event));
            }
            std::free(event);
        }
    }

private:
    void answer(const xcb_selection_request_event_t& request) {
        xcb_selection_notify_event_t notify = {};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = XCB_NONE;
        if (request.target == m_uriListTarget && !m_uriList.isEmpty()) {
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                m_uriListTarget, 8, m_uriList.size(), m_uriList.constData());
            notify.property = request.property;
        }
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&notify));
        xcb_flush(m_connection);
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_window_t m_window;
    xcb_atom_t m_selection;
    xcb_atom_t m_uriListTarget;
    QByteArray m_uriList;
};

class X11DragWatcherTest : public testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::available()) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(m_server.start());
        m_watcher = std::make_unique<X11DragWatcher>(m_server.display());
        ASSERT_TRUE(m_watcher->start());
    }

    XvfbServer m_server;
    std::unique_ptr<X11DragWatcher> m_watcher;
    TempTree m_files;
};

TEST_F(X11DragWatcherTest, EachDragIsExaminedForExistingFiles) {
    const QByteArray existing = QUrl::fromLocalFile(m_files.writeFile("报告 1.txt", "x")).toEncoded();
    const QByteArray missing = QUrl::fromLocalFile(m_files.path("gone.txt")).toEncoded();
    const struct {
        const char* name;
        QByteArray uriList;
        bool files;
    } drags[] = {
        {"existing file after a comment", "# list\r\n" + missing + "\r\n" + existing + "\r\n", true},
        {"file that no longer exists", missing + "\r\n", false},
        {"text only: the conversion is refused", {}, false},
        {"folder", QUrl::fromLocalFile(m_files.root()).toEncoded(), true},
    };
    QSignalSpy dragged(m_watcher.get(), &DragWatcher::mouseDragged);
    qint64 count = 0;
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.name);
        DragSource source(m_server.display(), drag.uriList);
        source.beginDrag();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                source.serve();
                return dragged.count() > count;
            },
            20000));
        EXPECT_EQ(m_watcher->changeCount(), ++count);
        EXPECT_EQ(m_watcher->isDraggingFiles(), drag.files);
    }
}

TEST_F(X11DragWatcherTest, ReportsTheReleaseOfTheLeftButton) {
    QSignalSpy released(m_watcher.get(), &DragWatcher::mouseReleased);
    DragSource source(m_server.display(), {});
    source.releaseLeftButton();
    EXPECT_TRUE(released.wait(20000));
}

}  // namespace
