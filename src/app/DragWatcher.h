#pragma once

#include <QByteArray>
#include <QObject>
#include <memory>

// Watches drags anywhere on the desktop, in whichever application they start. A drag is seen through
// the shared drag selection: every drag that takes it starts a new generation (changeCount), and
// whether it carries files is examined once per generation.
class DragWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The X11 watcher on an X11 session when it was built, else the null watcher.
    static std::unique_ptr<DragWatcher> forCurrentSession();

    // True when a text/uri-list names at least one file or folder that exists.
    static bool namesExistingItem(const QByteArray& uriList);

    // Starts watching; false when this session offers no way to watch (the watcher stays silent).
    virtual bool start() = 0;

    // The generation of the drag selection whose examination is complete.
    virtual qint64 changeCount() const = 0;

    // Whether the drag of that generation carries an existing file or folder.
    virtual bool isDraggingFiles() const = 0;

Q_SIGNALS:
    // A drag has begun or moved on; changeCount() and isDraggingFiles() describe it.
    void mouseDragged();
    // The left button was released anywhere.
    void mouseReleased();
};
