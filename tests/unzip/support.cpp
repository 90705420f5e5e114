#include "tests/unzip/support.h"

#include <cstdlib>
#include <sstream>

#include "installer/unzip/crc32.h"
#include "platform/files.h"
#include "platform/progress.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace unzip_test {

std::string Sep() { return std::string(1, platform::kPathSeparator); }

std::string FixturePath(const std::string& archive) { return std::string(QUENDA_SHARED_DIR) + "/fixtures/zip/" + archive; }

bool ReadFile(const std::string& path, std::string& contents) { return platform::ReadWholeFile(path, contents); }

namespace {

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out += static_cast<char>(std::strtoul(text.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace

std::vector<ManifestRow> LoadManifest() {
  std::string text;
  std::vector<ManifestRow> rows;
  if (!platform::ReadWholeFile(FixturePath("MANIFEST.tsv"), text)) return rows;
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f = SplitTabs(line);
    if (f.size() < 10) continue;
    ManifestRow row;
    row.archive = f[0];
    if (f[1] != "-") {
      row.member = Unescape(f[1]);
      row.method = std::atoi(f[2].c_str());
      row.flags = static_cast<uint32_t>(std::strtoul(f[3].c_str(), nullptr, 16));
      row.compressedSize = static_cast<uint32_t>(std::strtoul(f[4].c_str(), nullptr, 10));
      row.uncompressedSize = static_cast<uint32_t>(std::strtoul(f[5].c_str(), nullptr, 10));
    }
    row.sha256 = f[7];
    row.expect = f[9];
    row.note = f.size() > 10 ? f[10] : "";
    rows.push_back(row);
  }
  return rows;
}

std::string RecordName(const std::string& member) {
  std::string name = member.substr(0, 259);
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  return name;
}

void RemoveTree(const std::string& folder) {
  std::vector<platform::FolderEntry> entries;
  if (platform::ListFolder(folder, entries)) {
    for (const auto& entry : entries) {
      std::string path = folder;
      if (path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
      path += entry.name;
      if (entry.attributes.folder && !entry.attributes.link) {
        RemoveTree(path);
      } else {
        if (entry.attributes.readOnly) platform::SetReadOnly(path, false);
        platform::RemoveFile(path);
      }
    }
  }
  platform::RemoveFolder(folder);
}

ScratchFolder::ScratchFolder(const std::string& tag) {
  std::string temp = platform::TempFolder();
  if (!temp.empty() && temp.back() != platform::kPathSeparator) temp += platform::kPathSeparator;
  path_ = temp + "qz-" + tag + "-" + std::to_string(platform::TickCount() % 100000);
  RemoveTree(path_);
  platform::CreateFolder(path_);
  path_ += platform::kPathSeparator;
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_.substr(0, path_.size() - 1)); }

namespace {

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::string BuildZip(const std::vector<TestEntry>& entries, const std::string& comment, const std::string& prefix) {
  std::string out = prefix;
  std::string central;
  for (const TestEntry& e : entries) {
    uint32_t crc = kudu::Crc32(e.data.data(), e.data.size()) ^ (e.badCrc ? 1u : 0u);
    uint32_t size = static_cast<uint32_t>(e.data.size());
    uint32_t usize = e.uncompressedSize != 0 ? e.uncompressedSize : size;
    uint32_t offset = static_cast<uint32_t>(out.size());
    Put32(out, 0x04034B50);
    Put16(out, 20);
    Put16(out, e.flags);
    Put16(out, e.method);
    Put32(out, e.dosDateTime);
    Put32(out, crc);
    Put32(out, size);
    Put32(out, usize);
    Put16(out, static_cast<uint32_t>(e.name.size()));
    Put16(out, 0);
    out += e.name;
    out += e.data;

    Put32(central, 0x02014B50);
    central += static_cast<char>(20);
    central += static_cast<char>(e.hostSystem);
    Put16(central, 20);
    Put16(central, e.flags);
    Put16(central, e.method);
    Put32(central, e.dosDateTime);
    Put32(central, crc);
    Put32(central, size);
    Put32(central, usize);
    Put16(central, static_cast<uint32_t>(e.name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, e.attributes);
    Put32(central, offset);
    central += e.name;
  }
  uint32_t centralOffset = static_cast<uint32_t>(out.size());
  out += central;
  Put32(out, 0x06054B50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, centralOffset);
  Put16(out, static_cast<uint32_t>(comment.size()));
  out += comment;
  return out;
}

void ProgressProbe::Receive(uint16_t* percent) {
  seen.push_back(*percent);
  if (answer) *percent = answer(*percent);
}

#ifdef _WIN32

namespace {

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam != 0) {
    auto* probe = reinterpret_cast<ProgressProbe*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (probe != nullptr) probe->Receive(reinterpret_cast<uint16_t*>(lParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

ProgressProbe::ProgressProbe() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ProbeProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QuendaProgressProbe";
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

ProgressProbe::ProgressProbe() {
  window_ = 0x4D2;
  platform::SetProgressReceiver(Deliver, this);
}

ProgressProbe::~ProgressProbe() { platform::SetProgressReceiver(nullptr, nullptr); }

#endif

}  // namespace unzip_test
