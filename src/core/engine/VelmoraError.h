#pragma once

// The failure base lives with the platform services, which report failures too.
#include "platform/VelmoraError.h"
