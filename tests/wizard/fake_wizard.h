// A wizard host and installer steps that record what the controller asks of them, in one
// shared log, so that tests can check both the effects and their order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "installer/wizard_controller.h"
#include "platform/files.h"
#include "tests/installer/temp_folder.h"

namespace wizard_test {

using installer::ExtractionList;
using installer::MessageKind;
using installer::WizardControl;

struct ShownMessage {
  MessageKind kind;
  std::string text;
};

class FakeHost final : public installer::WizardHost {
 public:
  explicit FakeHost(std::vector<std::string>& log) : log_(log) {}

  bool ShowMessage(MessageKind kind, const std::string& text) override {
    log_.push_back(std::string("message ") + installer::MessageTitle(kind));
    messages.push_back({kind, text});
    return kind != MessageKind::Confirmation || confirmAnswer;
  }
  void StateChanged() override {}
  void Repaint(WizardControl control) override {
    static const char* const kNames[] = {"page", "next", "cancel", "about", "list"};
    log_.push_back(std::string("repaint ") + kNames[static_cast<int>(control)]);
  }
  void ApplyScriptFont() override { log_.push_back("font"); }
  void SetBusyCursor(bool busy) override { log_.push_back(busy ? "hourglass" : "arrow"); }
  void SetAnimation(bool playing) override { log_.push_back(playing ? "animate" : "still"); }
  void FocusFolderEdit() override { log_.push_back("focus folder"); }
  void OpenAddress(const std::string& address) override { opened.push_back(address); }
  bool BrowseForFolder(const std::string& title, std::string& folder) override {
    browseTitles.push_back(title);
    if (browseAnswer.empty()) return false;
    folder = browseAnswer;
    return true;
  }
  void Pause(int milliseconds) override { log_.push_back("pause " + std::to_string(milliseconds)); }
  void EndApplication() override { log_.push_back("end application"); }

  bool confirmAnswer = true;
  std::string browseAnswer;
  std::vector<ShownMessage> messages;
  std::vector<std::string> opened;
  std::vector<std::string> browseTitles;

 private:
  std::vector<std::string>& log_;
};

class FakeSteps final : public installer::InstallSteps {
 public:
  explicit FakeSteps(std::vector<std::string>& log) : log_(log) {}

  bool CreateUnpackFolder() override {
    log_.push_back("create unpack folder");
    return createOk;
  }
  bool UnpackContainer() override {
    log_.push_back("unpack container");
    return unpackOk;
  }
  void DeleteUnpackFolder() override { log_.push_back("delete unpack folder"); }
  void OpenInstallScript() override {
    log_.push_back("open script");
    if (!scriptText.empty()) {
      platform::WriteWholeFile(folder / "install.ini", scriptText);
      script.Open(folder / "install.ini");
    }
  }
  void LoadScriptFonts() override { log_.push_back("load fonts"); }
  void CloseInstallScript() override {
    log_.push_back("close script");
    script.Close();
  }
  const installer::InstallScript& Script() override { return script; }
  std::string FindPluginFolder(int editorIndex) override {
    log_.push_back("find folder " + std::to_string(editorIndex));
    return editorIndex == foundEditor ? foundFolder : std::string();
  }
  void LoadZeltEditorList(const std::string& unknownEditorText, std::vector<std::string>& names,
                          std::vector<std::string>& folders) override {
    names.clear();
    folders.clear();
    for (const auto& [name, folderText] : zeltEditors) {
      names.push_back(name);
      folders.push_back(folderText);
    }
    names.push_back(unknownEditorText);
    folders.emplace_back();
  }
  bool ExtractArchive(const std::string& pluginFolder, ExtractionList& list) override {
    log_.push_back("extract into " + pluginFolder);
    for (const auto& [ok, name] : members) {
      if (duringMember) duringMember();
      list.AddRow(ok, pluginFolder + name);
    }
    bool all = true;
    for (const auto& member : members) all = all && member.first;
    return all;
  }

  bool createOk = true;
  bool unpackOk = true;
  std::string scriptText;  // written and opened as the script; empty: no script
  int foundEditor = 1;
  std::string foundFolder;
  std::vector<std::pair<std::string, std::string>> zeltEditors;
  std::vector<std::pair<bool, std::string>> members{{true, "Quenda.dll"}};
  std::function<void()> duringMember;  // runs while the extraction is under way
  installer_test::TempFolder folder;
  installer::InstallScript script;

 private:
  std::vector<std::string>& log_;
};

}  // namespace wizard_test
