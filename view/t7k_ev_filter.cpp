// Placeholder: the filter.
#include "view/t7k_ev_filter.h"
