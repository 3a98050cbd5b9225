#pragma once

// What the drop panel shows: compact or expanded, whether a drag is over it, and how far its pointer
// sits from the panel's right edge (negative) and whether it points down at an icon below the panel.
struct TrayDropModel {
    bool isExpanded = false;
    bool isTargeted = false;
    int pointerOffsetX = -34;
    bool pointsDown = false;
};
