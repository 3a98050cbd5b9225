#pragma once

#include "core/state/AppSettings.h"

class WorkbenchContext;
class SettingsStore;

// A switch of an operation page changes one stored setting: the stored record is loaded, that one
// field changed and saved, and the same field mirrored into the model's working copy. Saving the
// model's whole copy instead would undo what the model keeps only for itself (the thread count it
// overrides) and what another page saved meanwhile. A save that fails changes neither and is shown as
// the model's alert; false then.
namespace SettingsWriteThrough {

bool write(SettingsStore& store, WorkbenchContext& model, bool AppSettings::*field, bool value);

}  // namespace SettingsWriteThrough
