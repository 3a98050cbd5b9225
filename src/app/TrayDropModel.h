#pragma once

// What the drop panel shows: compact or expanded, whether a drag is over it, and how far its pointer
// sits from the panel's right edge (negative).
struct TrayDropModel {
    bool isExpanded = false;
    bool isTargeted = false;
    int pointerOffsetX = -34;
};
