// Placeholder: device and flag texts.
#include "events/device_texts.h"
