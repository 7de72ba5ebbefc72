// The window classes of the program's own that the resource script names.
// Included by the resource script too, so macros only.
#pragma once

#define LOGWICK_EVENT_LIST_CLASS "LogwickEventList"
#define LOGWICK_DAY_CHART_CLASS "LogwickDayChart"
