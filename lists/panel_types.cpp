// Placeholder: panel-type table.
#include "lists/panel_types.h"
