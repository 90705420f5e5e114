// Decoder for imploded members (ZIP method 6): a sliding dictionary of 4 KB or 8 KB whose
// output (literals and length/distance pairs) is coded with Shannon-Fano trees that are
// stored, in compressed form, at the start of the data.
#pragma once

#include <cstdint>

#include "installer/unzip/decode_io.h"

namespace kudu {

// Decodes one member's compressed data from `in` into `out` until `uncompressedSize` bytes
// are written, and finishes the output. `bigDictionary` (flag bit 1) selects the 8 KB
// dictionary, `literalTree` (flag bit 2) the third tree, for literals; the shortest match is
// 3 bytes with that tree and 2 without. Distances reaching before the start of the output
// read zeros.
//
// Returns 0, -4 for corrupt data (a tree description that does not describe exactly 256 or
// 64 values, or a set of code lengths that is over-subscribed or incomplete, or a code that
// does not exist), or the input's or output's error (-3 when the data ends first, -5, -2).
int32_t Explode(BitInput& in, OutputWindow& out, bool bigDictionary, bool literalTree, uint32_t uncompressedSize);

}  // namespace kudu
