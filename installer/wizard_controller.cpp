#include "installer/wizard_controller.h"

#include "installer/ansi_text.h"
#include "platform/folder_text.h"
#include "installer/pluginfolder.h"
#include "platform/files.h"

namespace installer {

const char* MessageTitle(MessageKind kind) {
  switch (kind) {
    case MessageKind::Information:
      return "Information";
    case MessageKind::Error:
      return "Fehler";
    case MessageKind::Confirmation:
      return "Best\xE4tigung";
  }
  return "";
}

std::string WizardController::Text(ScriptKeyId id) { return steps_.Script().ReadTextWithPlaceholders(id); }

void WizardController::FormCreate() {
  // A failed unpack still finishes the set-up (with the default texts); the end request
  // takes effect once the message loop runs, so the window never takes input.
  if (!steps_.CreateUnpackFolder()) host_.EndApplication();
  if (!steps_.UnpackContainer()) {
    host_.EndApplication();
    steps_.DeleteUnpackFolder();
  }
  steps_.OpenInstallScript();
  steps_.LoadScriptFonts();
  host_.ApplyScriptFont();
  confirmquit_ = true;

  state_.mode = steps_.Script().ZeltEnabled() ? WizardMode::Zelt : WizardMode::Standard;
  if (state_.mode == WizardMode::Zelt) {
    state_.selecteditorlbl = Text(ScriptKeyId::ZeltSelectEditor);
    state_.zeltimgVisible = true;
    steps_.LoadZeltEditorList(Text(ScriptKeyId::UnknownEditor), state_.editors, zeltfolderlist_);
    state_.selectedEditor = state_.editors.empty() ? -1 : 0;
  } else {
    state_.selecteditorlbl = Text(ScriptKeyId::SelectEditor);
    state_.homepagebtn.text = Text(ScriptKeyId::Homepage);
    state_.homepagebtn.visible = true;
    state_.editors.clear();
    for (const KnownEditor& editor : kKnownEditors) state_.editors.emplace_back(editor.displayText);
    state_.editors.push_back(Text(ScriptKeyId::UnknownEditor));
    state_.selectedEditor = 1;
  }
  state_.caption = Text(ScriptKeyId::Caption);
  state_.welcomelbl = Text(ScriptKeyId::Welcome);
  state_.installlbl = Text(ScriptKeyId::Install);
  state_.searchingfolderlbl = Text(ScriptKeyId::SearchingFolder);
  state_.selectfolderlbl = Text(ScriptKeyId::SelectFolder);
  state_.browsebtn = Text(ScriptKeyId::Browse);
  state_.extractingfileslbl = Text(ScriptKeyId::ExtractingFiles);
  state_.aboutbtn.text = Text(ScriptKeyId::About);
  state_.nextbtn.text = Text(ScriptKeyId::Next);
  state_.cancelbtn.text = Text(ScriptKeyId::Cancel);
  state_.finishedlbl = Text(ScriptKeyId::Finished);
  fileoktext_ = Text(ScriptKeyId::FileOk);
  fileerrortext_ = Text(ScriptKeyId::FileError);

  extractingfileslb_.SetRowAddedHandler([this] { host_.Repaint(WizardControl::FileList); });
  state_.page = WizardPage::Welcome;
  host_.StateChanged();
}

void WizardController::editorselectcbChange(int index) {
  if (index >= 0 && index < static_cast<int>(state_.editors.size())) state_.selectedEditor = index;
}

void WizardController::nextbtnClick() {
  if (closed_ || extracting_ || !state_.nextbtn.enabled || !state_.nextbtn.visible) return;
  if (state_.page == WizardPage::Folder) {
    state_.folderText = platform::AddTrailingBackslash(TrimBlanks(state_.folderText));
    host_.StateChanged();
    if (!platform::FolderExists(state_.folderText) && !CreateFolderWithParents(state_.folderText)) {
      host_.ShowMessage(MessageKind::Error, Text(ScriptKeyId::ErrorCreateFolder));
      return;
    }
  }
  GoToNextPage();
}

// Creates the folder after its missing parents, outermost first. A path too short to be a
// folder, or one without a parent of its own (a drive or the root), is never created.
bool WizardController::CreateFolderWithParents(const std::string& folder) {
  std::string path = folder;
  while (!path.empty() && path.back() == platform::kPathSeparator) path.pop_back();
  if (path.size() < 3) return platform::FolderExists(folder);
  if (platform::FolderExists(path)) return true;
  size_t cut = path.rfind(platform::kPathSeparator);
  if (cut == std::string::npos || cut == 0) return platform::FolderExists(path);
  std::string parent = path.substr(0, cut);
  if (parent == path) return false;
  CreateFolderWithParents(parent);
  platform::CreateFolder(path);
  return platform::FolderExists(path);
}

void WizardController::GoToNextPage() {
  if (state_.page == WizardPage::Finished) return;
  state_.page = static_cast<WizardPage>(static_cast<int>(state_.page) + 1);
  host_.StateChanged();
  wizardpcChange();
}

void WizardController::wizardpcChange() {
  switch (state_.page) {
    case WizardPage::SearchingFolder:
      SearchFolderPage();
      break;
    case WizardPage::Folder:
      FolderPage();
      break;
    case WizardPage::Extract:
      ExtractPage();
      break;
    case WizardPage::Finished:
      FinishedPage();
      break;
    case WizardPage::Welcome:
      break;
  }
}

// The thread blocks while the work runs, so the page and the disabled buttons are painted
// before it starts.
void WizardController::SetWorkButtons(bool enabled) {
  state_.nextbtn.enabled = enabled;
  state_.cancelbtn.enabled = enabled;
  state_.aboutbtn.enabled = enabled;
  if (!enabled) {
    host_.Repaint(WizardControl::NextButton);
    host_.Repaint(WizardControl::CancelButton);
    host_.Repaint(WizardControl::AboutButton);
  }
}

void WizardController::SearchFolderPage() {
  host_.Repaint(WizardControl::PageControl);
  host_.SetBusyCursor(true);
  SetWorkButtons(false);
  host_.SetAnimation(true);
  int index = state_.selectedEditor;
  if (state_.mode == WizardMode::Zelt) {
    if (index >= 0 && index < static_cast<int>(zeltfolderlist_.size())) state_.folderText = zeltfolderlist_[index];
  } else if (index >= 0 && index < kKnownEditorCount) {
    state_.folderText = steps_.FindPluginFolder(index);
  }
  host_.SetAnimation(false);
  host_.SetBusyCursor(false);
  host_.StateChanged();
  if (state_.folderText.empty()) host_.ShowMessage(MessageKind::Information, Text(ScriptKeyId::ErrorSearchingFolder));
  SetWorkButtons(true);
  GoToNextPage();
}

void WizardController::FolderPage() {
  folderebChange(state_.folderText);
  host_.FocusFolderEdit();
}

void WizardController::ExtractPage() {
  // Runs once: a second entry (or one nested inside the message pumping of the running
  // extraction) finds the guard set.
  if (extracting_ || extracted_) return;
  host_.Repaint(WizardControl::PageControl);
  host_.SetBusyCursor(true);
  SetWorkButtons(false);
  extracting_ = true;
  bool ok = steps_.ExtractArchive(state_.folderText, extractingfileslb_);
  extracting_ = false;
  extracted_ = true;
  host_.SetBusyCursor(false);
  if (ok) {
    host_.Pause(2000);
    state_.completelbl = Text(ScriptKeyId::FinishedSuccess);
    state_.aboutbtn.enabled = true;
    GoToNextPage();
  } else {
    state_.completelbl = Text(ScriptKeyId::ErrorExtract);
    state_.nextbtn.enabled = true;
    state_.aboutbtn.enabled = true;
    host_.StateChanged();
  }
}

void WizardController::FinishedPage() {
  state_.nextbtn.visible = false;
  state_.cancelbtn.text = Text(ScriptKeyId::Quit);
  state_.cancelbtn.enabled = true;
  state_.aboutbtn.enabled = true;
  confirmquit_ = false;
  host_.StateChanged();
}

void WizardController::folderebChange(const std::string& text) {
  state_.folderText = text;
  state_.nextbtn.enabled = !TrimBlanks(text).empty();
  host_.StateChanged();
}

void WizardController::browsebtnClick() {
  std::string title;
  for (char c : state_.selectfolderlbl) {
    if (c != '&') title += c;
  }
  std::string folder;
  if (host_.BrowseForFolder(title, folder)) folderebChange(folder);
}

void WizardController::homepagebtnClick() {
  if (state_.mode != WizardMode::Standard) return;
  int index = state_.selectedEditor;
  if (index >= 0 && index < kKnownEditorCount) host_.OpenAddress(std::string(kKnownEditors[index].homePage));
}

void WizardController::zeltimgClick() { host_.OpenAddress(kZeltInfoAddress); }

bool WizardController::FormClose() {
  if (closed_) return true;
  if (extracting_) return false;
  if (confirmquit_ && !host_.ShowMessage(MessageKind::Confirmation, Text(ScriptKeyId::ReallyQuit))) return false;
  zeltfolderlist_.clear();
  steps_.CloseInstallScript();
  steps_.DeleteUnpackFolder();
  closed_ = true;
  return true;
}

}  // namespace installer
