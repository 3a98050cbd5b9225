#include "views/main/SettingsWriteThrough.h"

#include "core/state/SettingsStore.h"
#include "viewmodels/MainViewModel.h"

namespace SettingsWriteThrough {

void write(SettingsStore& store, MainViewModel& model, bool AppSettings::*field, bool value) {
    AppSettings stored = store.load();
    stored.*field = value;
    store.save(stored);

    AppSettings working = model.settings();
    working.*field = value;
    model.setSettings(working);
}

}  // namespace SettingsWriteThrough
