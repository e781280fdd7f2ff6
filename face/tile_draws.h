// The glyphs drawn into each tile of a buffer: which tiles two frames drew
// alike.
#pragma once

#include "face/ink_record.h"

// Starts over for a wholly black buffer.
void ClearTileDraws(TileDraws* draws);
void IndexTileDraws(TileDraws* draws, int columns, int rows);
// Marks in `changed`, a black record of the buffer's size, every tile whose
// draws differ between `a` and `b`, both known and indexed.
void MarkChangedTiles(const TileDraws& a, const TileDraws& b, InkRecord* changed);
