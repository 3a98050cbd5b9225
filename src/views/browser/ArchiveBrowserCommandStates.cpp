#include "views/browser/ArchiveBrowserCommandStates.h"

#include "viewmodels/ArchivePreviewWindowModel.h"

ArchiveBrowserCommandStates ArchiveBrowserCommandStates::of(const ArchivePreviewWindowModel& model) {
    const bool idle = !model.isLoading();
    const bool editing = model.supportsArchiveEditing();
    ArchiveBrowserCommandStates states;
    states.add = editing && idle;
    states.extractSelected = model.canExtractSelected();
    states.extractAll = idle;
    states.deleteSelected = editing && model.selectedEntry().has_value() && idle;
    states.clean = idle;
    states.read = idle;
    states.goUp = !model.currentFolderPath().isEmpty();
    states.addReason = model.addRefusal().value_or(QString());
    states.extractSelectedReason = model.extractSelectedRefusal().value_or(QString());
    states.deleteReason = model.deleteRefusal().value_or(QString());
    return states;
}
