// Decoder for shrunk members (ZIP method 1): dynamic LZW with 9- to 13-bit codes whose size
// the compressor raises explicitly (code 256 followed by 1) and whose table it thins out by
// partial clearing (code 256 followed by 2: every leaf of the string tree becomes free again,
// and freed codes are reused lowest first).
#pragma once

#include <cstdint>

#include "installer/unzip/decode_io.h"

namespace kudu {

// Decodes one member's compressed data from `in` into `out` and finishes the output.
//
// Shrunk data carries no end marker and the member's uncompressed size is not needed, so the
// input must hold exactly the member's compressed bytes: the decoder reads codes until the
// input reports that it ended (-3). That end is the normal one when it falls at a code
// boundary with fewer than 8 bits left over (the zero padding of the last byte); with a byte
// or more left over, or in the middle of a control sequence, the data was cut short: -3.
// A data ending that happens to fall at a code boundary cannot be told from the real end;
// the member's CRC catches it.
//
// Returns 0, -4 for corrupt data (a code that is not defined yet, other than the one being
// defined; an unknown control code; a code size beyond 13 bits), or the input's or output's
// error (-3, -5, -2).
int32_t Unshrink(BitInput& in, OutputWindow& out);

}  // namespace kudu
