#pragma once
// Tile editing and the tiling palette's preview as the front ends reach them.
#include "tiling/palettePreview.h"
#include "tiling/tileEdit.h"
