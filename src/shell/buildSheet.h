#pragma once
// The build sheet as the front ends reach it: its fields (--sheet-… options, the dialog) and
// the chart and shopping list written from the tiled picture.
#include "sheet/saveSheet.h"
#include "sheet/sheetFields.h"
