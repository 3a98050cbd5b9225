#include "viewmodels/SettingsWriteThrough.h"

#include "core/state/SettingsStore.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/WorkbenchContext.h"

namespace SettingsWriteThrough {

bool write(SettingsStore& store, WorkbenchContext& model, bool AppSettings::*field, bool value) {
    AppSettings stored = store.load();
    stored.*field = value;
    if (const std::optional<QString> failure = store.save(stored)) {
        // The model keeps its copy, so a page that shows it puts the switch back.
        model.setAlertMessage(OperationFailure::saveFailed(*failure));
        return false;
    }

    AppSettings working = model.settings();
    working.*field = value;
    model.setSettings(working);
    return true;
}

}  // namespace SettingsWriteThrough
