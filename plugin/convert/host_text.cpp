#include "plugin/convert/host_text.h"

#include <cstring>

#include "plugin/convert/work_buffer.h"

namespace quenda {

bool HasHostLineBreaks(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const void* cr = std::memchr(p, '\r', static_cast<size_t>(end - p));
    if (cr == nullptr) return true;
    p = static_cast<const char*>(cr) + 1;
    if (p == end || *p != '\n') return false;
  }
  return true;
}

void AppendHostLineText(std::string& out, std::string_view text) {
  // Copy the runs between lone CRs in one piece each: documents rarely have any.
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const void* found = std::memchr(p, '\r', static_cast<size_t>(end - p));
    if (found == nullptr) {
      out.append(p, static_cast<size_t>(end - p));
      return;
    }
    const char* cr = static_cast<const char*>(found);
    out.append(p, static_cast<size_t>(cr + 1 - p));
    p = cr + 1;
    if (p == end || *p != '\n') out.push_back('\n');
  }
}

std::string HostLineText(std::string_view text) {
  if (HasHostLineBreaks(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 16);
  AppendHostLineText(out, text);
  return out;
}

std::string_view HostDocumentText(const char* document) {
  if (document == nullptr) return {};
  return std::string_view(document, std::strlen(document));
}

void LoadHostText(WorkBuffer& buffer, std::string_view text) {
  buffer.Clear();
  buffer.ReplaceLine(0, text);
  buffer.SetSelStart(0);
}

}  // namespace quenda
