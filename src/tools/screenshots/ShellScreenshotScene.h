#pragma once

#include <QPixmap>
#include <QTemporaryDir>
#include <functional>

// The shell's small windows in prepared states: the progress window of an outside operation (running,
// finished, failed, with a notice, with refused items named) and the drop panel (waiting, and with
// files dragged over it).
class ShellScreenshotScene {
public:
    using Save = std::function<bool(const QPixmap&, const QString&)>;

    // Saves progress-running.png, progress-finished.png, progress-failed.png, progress-notice.png,
    // progress-refused.png, progress-refused-cancelled.png, drop-panel.png and drop-panel-targeted.png;
    // false when a picture could not be written.
    bool saveShots(const Save& save);

private:
    bool saveProgressShots(const Save& save);
    bool saveDropPanelShots(const Save& save);

    QTemporaryDir m_root;
};
