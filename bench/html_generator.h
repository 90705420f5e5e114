// Realistic HTML 4 pages of a chosen size for the conversion benchmark: upper-case tags,
// unquoted and minimized attributes, tables, lists with one item per line, forms, comments and
// German text in Latin-1.
#pragma once

#include <cstddef>
#include <string>

namespace quenda::bench {

// A whole page (doctype, head, body) of about `size` bytes, lines ending in LF. The same size
// and seed give the same page.
std::string GenerateHtmlPage(size_t size, unsigned seed);

}  // namespace quenda::bench
