// Decoder for deflated members (RFC 1951).
#pragma once

#include <cstdint>

#include "installer/unzip/decode_io.h"

namespace kudu {

// Decodes one deflate stream from input into the window and writes out what is pending at
// its end. Returns 0, -4 for corrupt data, or the code that stopped the input (-3, -5) or the
// output (-2). On return the input stands right behind the stream's last bit, so whatever
// follows the stream (a data descriptor) can be read from it.
int32_t Inflate(BitInput& input, OutputWindow& output);

}  // namespace kudu
