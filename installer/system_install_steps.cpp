// The wizard's steps bound to the running installer's own container, script and system.
#include "installer/fontman.h"
#include "installer/pluginfolder.h"
#include "installer/sfx.h"
#include "installer/unzip/extract.h"
#include "installer/wizard_controller.h"

namespace installer {
namespace {

class SystemSteps final : public InstallSteps {
 public:
  bool CreateUnpackFolder() override { return installer::CreateUnpackFolder(); }
  bool UnpackContainer() override { return installer::UnpackContainer(); }
  void DeleteUnpackFolder() override { installer::DeleteUnpackFolder(); }
  void OpenInstallScript() override { installer::OpenInstallScript(); }
  void LoadScriptFonts() override { installer::LoadScriptFonts(); }
  void CloseInstallScript() override { installer::CloseInstallScript(); }
  const InstallScript& Script() override { return TheInstallScript(); }
  std::string FindPluginFolder(int editorIndex) override { return installer::FindPluginFolder(editorIndex); }
  void LoadZeltEditorList(const std::string& unknownEditorText, std::vector<std::string>& names,
                          std::vector<std::string>& folders) override {
    installer::LoadZeltEditorList(platform::SystemRegistry(), unknownEditorText, names, folders);
  }
  bool ExtractArchive(const std::string& pluginFolder, ExtractionList& list) override {
    return installer::ExtractArchive(UnpackFolder(), pluginFolder, list);
  }
};

}  // namespace

InstallSteps& SystemInstallSteps() {
  static SystemSteps steps;
  return steps;
}

}  // namespace installer
