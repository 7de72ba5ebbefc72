// Placeholder: event list serialisation.
#include "lists/t7k_event_list.h"
