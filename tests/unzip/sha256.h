// SHA-256 (FIPS 180-4), to compare extracted files with the fixtures' listed digests.
#pragma once

#include <string>

namespace unzip_test {

// Lower-case hex digest of the bytes.
std::string Sha256Hex(const std::string& bytes);

}  // namespace unzip_test
