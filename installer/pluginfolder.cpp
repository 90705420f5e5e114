#include "installer/pluginfolder.h"

#include "installer/ansi_text.h"
#include "installer/drive_search.h"
#include "installer/inictrl.h"
#include "installer/profile_file.h"
#include "platform/files.h"

namespace installer {

const KnownEditor kKnownEditors[kKnownEditorCount] = {
    {"HTML Suite 2000", "https://htmlsuite2000.example.org/"},
    {"Meybohm HTML Editor", "https://meybohm.example.org/"},
    {"Meybohm Proton", "https://meybohm.example.org/"},
    {"Folium!", "https://quenda.example.org/"},
    {"Weaverslave", "https://weaverslave.example.org/"},
};

namespace {
using platform::RegistryRoot;

constexpr const char* kHtmlEditKey = "\\Software\\Meybohm\\HTMLEdit\\Global";
constexpr const char* kProtonKey = "\\Software\\Meybohm\\Proton\\Global";
constexpr const char* kWeaverProgram = "weaversl.exe";
constexpr const char* kWeaverConfig = "manconf.ini";

// Registry text up to its first NUL.
std::string TextUpToNul(const std::string& data) { return data.substr(0, data.find('\0')); }
}  // namespace

std::string ReadRegistryFolder(platform::Registry& registry, RegistryRoot root, const std::string& keyPath,
                               const std::string& valueName) {
  if (!registry.KeyExists(root, keyPath)) return std::string();
  std::optional<platform::RegistryValue> value = registry.ReadValue(root, keyPath, valueName);
  if (!value || value->type != platform::RegistryType::String) return std::string();
  return platform::AddTrailingBackslash(TrimBlanks(TextUpToNul(value->data)));
}

std::string ReadIniFolder(const std::string& filePath, const std::string& section, const std::string& key) {
  return platform::AddTrailingBackslash(ProfileFile::Load(filePath).Lookup(section, key).value_or(std::string()));
}

std::string FindPluginFolder(int editorIndex, platform::Registry& registry, const FileFinder& findFile) {
  const std::string zeltKey(kZeltListKey);
  switch (editorIndex) {
    case 0:
      return ReadRegistryFolder(registry, RegistryRoot::LocalMachine, zeltKey, "HTML Suite 2000");
    case 1: {
      std::string folder = ReadRegistryFolder(registry, RegistryRoot::CurrentUser, kHtmlEditKey, "WorkingDir");
      if (folder.empty()) folder = ReadRegistryFolder(registry, RegistryRoot::CurrentUser, kHtmlEditKey, "Dir");
      if (!folder.empty()) folder += std::string("Plugins") + platform::kPathSeparator;
      return folder;
    }
    case 2:
      return ReadRegistryFolder(registry, RegistryRoot::CurrentUser, kProtonKey, "PluginDir");
    case 3:
      return ReadRegistryFolder(registry, RegistryRoot::LocalMachine, zeltKey, "Folium!");
    case 4: {
      std::string programFolder = findFile(kWeaverProgram);
      if (programFolder.empty()) return std::string();
      std::string folder;
      std::string config = programFolder + kWeaverConfig;
      if (platform::FileExists(config)) folder = ReadIniFolder(config, "Plugins", "Path");
      if (folder.empty()) folder = programFolder + "Plugin" + platform::kPathSeparator;
      return folder;
    }
    default:
      return std::string();
  }
}

std::string FindPluginFolder(int editorIndex) {
  return FindPluginFolder(editorIndex, platform::SystemRegistry(),
                          [](const std::string& fileName) { return FindFileOnFixedDrives(fileName); });
}

void LoadZeltEditorList(platform::Registry& registry, const std::string& unknownEditorText,
                        std::vector<std::string>& names, std::vector<std::string>& folders) {
  names.clear();
  folders.clear();
  const std::string key(kZeltListKey);
  if (registry.KeyExists(RegistryRoot::LocalMachine, key)) {
    names = registry.ValueNames(RegistryRoot::LocalMachine, key);
    for (const std::string& name : names) {
      std::optional<platform::RegistryValue> value = registry.ReadValue(RegistryRoot::LocalMachine, key, name);
      bool text = value && (value->type == platform::RegistryType::String ||
                            value->type == platform::RegistryType::ExpandString);
      folders.push_back(text ? platform::AddTrailingBackslash(TextUpToNul(value->data)) : std::string());
    }
  }
  names.push_back(unknownEditorText);
  folders.push_back(std::string());
}

}  // namespace installer
