#pragma once

#include "app/DragWatcher.h"

// Where drags cannot be watched (Wayland, offscreen): never reports anything.
class NullDragWatcher : public DragWatcher {
    Q_OBJECT
public:
    using DragWatcher::DragWatcher;

    bool start() override { return false; }
    qint64 changeCount() const override { return 0; }
    bool isDraggingFiles() const override { return false; }
};
