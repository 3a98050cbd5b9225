#pragma once

// What a status message reports, decided by the operation that sets it: the banner draws its symbol
// and colour from it.
enum class StatusKind { success, warning, error };
