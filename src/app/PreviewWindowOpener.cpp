#include "app/PreviewWindowOpener.h"

namespace {

// Stands in until the archive browser window exists: archives opened from outside open nothing.
class NullPreviewWindowOpener : public PreviewWindowOpener {
public:
    void openPreviewWindow(const QStringList&, const std::optional<QList<ArchivePreviewEntry>>&,
                           bool) override {}
};

}  // namespace

std::unique_ptr<PreviewWindowOpener> makeDesktopPreviewWindowOpener(const PreviewWindowServices&) {
    return std::make_unique<NullPreviewWindowOpener>();
}
