#include "tests/unzip/support.h"

#include <cstdlib>
#include <sstream>

#include "installer/unzip/crc32.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"
#include "platform/progress.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace unzip_test {
namespace {

// Resolves the manifest's escapes "\\" and "\xHH".
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size()) {
      out += static_cast<char>(std::strtoul(text.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
      i += text.compare(i, 2, "\\\\") == 0;
    }
  }
  return out;
}

uint32_t Number(const std::string& text, int base) { return uint32_t(std::strtoul(text.c_str(), nullptr, base)); }

uint32_t Le16(const std::string& s, size_t at) { return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8; }

// Appends each value as a little-endian number of the given byte count.
void Put(std::string& out, std::initializer_list<std::pair<uint32_t, int>> values) {
  for (auto [value, bytes] : values) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  }
}

}  // namespace

std::string FixturePath(const std::string& archive) { return std::string(QUENDA_SHARED_DIR) + "/fixtures/zip/" + archive; }

std::vector<ManifestRow> LoadManifest() {
  std::string text;
  std::vector<ManifestRow> rows;
  if (!platform::ReadWholeFile(FixturePath("MANIFEST.tsv"), text)) return rows;
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f.size() < 10) continue;
    const bool member = f[1] != "-";  // archive-level rows fill the member columns with "-"
    rows.push_back({f[0], member ? Unescape(f[1]) : "", member ? std::atoi(f[2].c_str()) : -1, Number(f[3], 16),
                    Number(f[4], 10), Number(f[5], 10), Number(f[6], 16), f[9], f.size() > 10 ? f[10] : ""});
  }
  return rows;
}

std::string RecordName(const std::string& member) {
  std::string name = member.substr(0, 259);
  for (char& c : name) c = c == '/' ? '\\' : c;
  return name;
}

bool ReadMemberData(const ManifestRow& row, std::string* data) {
  std::string zip;
  const std::string path = FixturePath(row.archive);
  if (!platform::ReadWholeFile(path, zip)) return false;
  ZipMemberInfo info;
  for (int32_t rc = FirstMember(path.c_str(), &info); rc == 0; rc = NextMember(&info)) {
    const size_t local = static_cast<size_t>(info.localHeaderOffset);
    if (info.name != RecordName(row.member) || local + 30 > zip.size()) continue;
    EndMemberWalk(&info);
    const size_t start = local + 30 + Le16(zip, local + 26) + Le16(zip, local + 28);
    if (start + row.compressedSize > zip.size()) return false;
    *data = zip.substr(start, row.compressedSize);
    return true;
  }
  return false;
}

std::string BuildZip(const std::vector<TestEntry>& entries, const std::string& comment, const std::string& prefix) {
  std::string out = prefix;
  std::string central;
  for (const TestEntry& e : entries) {
    const uint32_t crc = kudu::Crc32(e.data.data(), e.data.size()) ^ (e.badCrc ? 1u : 0u);
    const uint32_t size = static_cast<uint32_t>(e.data.size());
    const uint32_t offset = static_cast<uint32_t>(out.size());
    // From "version needed" to the extra field's length, both headers hold the same fields.
    std::string common;
    Put(common, {{20, 2}, {e.flags, 2}, {e.method, 2}, {e.dosDateTime, 4}, {crc, 4}, {size, 4}, {size, 4},
                 {static_cast<uint32_t>(e.name.size()), 2}, {0, 2}});
    Put(out, {{0x04034B50, 4}});
    out += common + e.name + e.data;
    Put(central, {{0x02014B50, 4}, {20, 1}, {e.hostSystem, 1}});
    central += common;
    Put(central, {{0, 2}, {0, 2}, {0, 2}, {e.attributes, 4}, {offset, 4}});
    central += e.name;
  }
  const uint32_t count = static_cast<uint32_t>(entries.size());
  const uint32_t centralOffset = static_cast<uint32_t>(out.size());
  out += central;
  Put(out, {{0x06054B50, 4}, {0, 2}, {0, 2}, {count, 2}, {count, 2}, {static_cast<uint32_t>(central.size()), 4},
            {centralOffset, 4}, {static_cast<uint32_t>(comment.size()), 2}});
  return out + comment;
}

void ProgressProbe::Receive(uint16_t* percent) {
  seen.push_back(*percent);
  if (answer) *percent = answer(*percent);
}

#ifdef _WIN32

namespace {

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* probe = reinterpret_cast<ProgressProbe*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message != WM_COMMAND || lParam == 0 || probe == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  probe->Receive(reinterpret_cast<uint16_t*>(lParam));
  return 0;
}

}  // namespace

ProgressProbe::ProgressProbe() {
  WNDCLASSA windowClass = {0, ProbeProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr,
                           "QuendaProgressProbe"};
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "QuendaProgressProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  handle_ = window;
  window_ = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(window));
}

ProgressProbe::~ProgressProbe() { DestroyWindow(static_cast<HWND>(handle_)); }

#else

namespace {

void Deliver(void* context, uint16_t window, int32_t, uint16_t* percent) {
  auto* probe = static_cast<ProgressProbe*>(context);
  if (window == probe->window()) probe->Receive(percent);
}

}  // namespace

ProgressProbe::ProgressProbe() : window_(0x4D2) { platform::SetProgressReceiver(Deliver, this); }

ProgressProbe::~ProgressProbe() { platform::SetProgressReceiver(nullptr, nullptr); }

#endif

}  // namespace unzip_test
