// The installer wizard's behaviour without its windows: the five pages, which buttons are
// enabled, the texts, the confirmation before closing and the clean-up. The Win32 window
// forwards its events here and draws the state; every effect it must produce (a message box,
// an immediate repaint, the hourglass, the animation, the shell) goes through WizardHost, and
// every step of the installer core through InstallSteps, so both can be played in tests.
#pragma once

#include <string>
#include <vector>

#include "installer/inictrl.h"
#include "installer/unzip/extraction_list.h"

namespace installer {

enum class WizardMode { Standard, Zelt };

enum class WizardPage { Welcome = 0, SearchingFolder = 1, Folder = 2, Extract = 3, Finished = 4 };
inline constexpr int kWizardPageCount = 5;

// The message boxes the wizard shows; their titles and buttons are fixed (see MessageTitle).
enum class MessageKind { Information, Error, Confirmation };
// "Information", "Fehler", "Bestätigung" (Windows-1252).
const char* MessageTitle(MessageKind kind);
inline constexpr const char* kYesButtonText = "&Ja";
inline constexpr const char* kNoButtonText = "&Nein";

// Controls the wizard repaints at once while it blocks the thread.
enum class WizardControl { PageControl, NextButton, CancelButton, AboutButton, FileList };

class WizardHost {
 public:
  virtual ~WizardHost() = default;
  // Shows a modal message; true for "OK" or "&Ja", false for "&Nein" (and Escape).
  virtual bool ShowMessage(MessageKind kind, const std::string& text) = 0;
  // The state has changed: the view takes it over (without forcing a paint).
  virtual void StateChanged() = 0;
  // Takes the state over for one control and paints it now.
  virtual void Repaint(WizardControl control) = 0;
  virtual void ApplyScriptFont() = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void SetAnimation(bool playing) = 0;
  virtual void FocusFolderEdit() = 0;
  virtual void OpenAddress(const std::string& address) = 0;
  // The shell's folder browser with this title; true and the chosen folder on OK.
  virtual bool BrowseForFolder(const std::string& title, std::string& folder) = 0;
  // Waits without taking input.
  virtual void Pause(int milliseconds) = 0;
  // Asks the application to end once its message loop runs.
  virtual void EndApplication() = 0;
};

// The installer core as the wizard uses it.
class InstallSteps {
 public:
  virtual ~InstallSteps() = default;
  virtual bool CreateUnpackFolder() = 0;
  virtual bool UnpackContainer() = 0;
  virtual void DeleteUnpackFolder() = 0;
  virtual void OpenInstallScript() = 0;
  virtual void LoadScriptFonts() = 0;
  virtual void CloseInstallScript() = 0;
  // The opened script (every lookup answers its default when it could not be read).
  virtual const InstallScript& Script() = 0;
  virtual std::string FindPluginFolder(int editorIndex) = 0;
  virtual void LoadZeltEditorList(const std::string& unknownEditorText, std::vector<std::string>& names,
                                  std::vector<std::string>& folders) = 0;
  virtual bool ExtractArchive(const std::string& pluginFolder, ExtractionList& list) = 0;
};

// The real installer core: sfx, inictrl, fontman, pluginfolder and the extraction step.
InstallSteps& SystemInstallSteps();

// The Zelt information page on the installer maker's site.
inline constexpr const char* kZeltInfoAddress = "http://www.parcelon.example/zelt/";

struct WizardButton {
  std::string text;
  bool enabled = true;
  bool visible = true;
};

// Everything the wizard window shows.
struct WizardState {
  WizardPage page = WizardPage::Welcome;
  WizardMode mode = WizardMode::Standard;
  std::string caption;
  WizardButton nextbtn, cancelbtn, aboutbtn;
  // page 0
  std::string welcomelbl, installlbl, selecteditorlbl;
  std::vector<std::string> editors;  // editorselectcb
  int selectedEditor = -1;
  WizardButton homepagebtn{"", true, false};
  bool zeltimgVisible = false;
  // page 1
  std::string searchingfolderlbl;
  // page 2
  std::string selectfolderlbl, folderText, browsebtn;
  // page 3
  std::string extractingfileslbl;
  // page 4
  std::string finishedlbl, completelbl;
};

class WizardController {
 public:
  WizardController(WizardHost& host, InstallSteps& steps) : host_(host), steps_(steps) {}

  const WizardState& state() const { return state_; }
  const ExtractionList& extractingfileslb() const { return extractingfileslb_; }
  bool confirmquit() const { return confirmquit_; }
  bool extracting() const { return extracting_; }
  const std::vector<std::string>& zeltfolderlist() const { return zeltfolderlist_; }
  const std::string& fileoktext() const { return fileoktext_; }
  const std::string& fileerrortext() const { return fileerrortext_; }

  // The creation step; the window then shows page 0.
  void FormCreate();
  void nextbtnClick();
  void browsebtnClick();
  void homepagebtnClick();
  void zeltimgClick();
  void editorselectcbChange(int index);
  // The folder text as the user (or the browser) left it.
  void folderebChange(const std::string& text);
  // Any attempt to close the window. True when the window may go: the script is closed and
  // the unpack folder deleted by then. While the extraction runs every attempt is refused
  // without a question, because the extraction still reads the unpacked archive.
  bool FormClose();
  // Escape closes like the cancel button, but only while that button is enabled.
  bool EscapeCloses() const { return state_.cancelbtn.enabled; }

 private:
  void GoToNextPage();
  void wizardpcChange();
  void SearchFolderPage();
  void FolderPage();
  void ExtractPage();
  void FinishedPage();
  void SetWorkButtons(bool enabled);
  bool CreateFolderWithParents(const std::string& folder);
  std::string Text(ScriptKeyId id);

  WizardHost& host_;
  InstallSteps& steps_;
  WizardState state_;
  ExtractionList extractingfileslb_;
  std::vector<std::string> zeltfolderlist_;
  std::string fileoktext_, fileerrortext_;
  bool confirmquit_ = false;
  bool extracting_ = false;
  bool extracted_ = false;
  bool closed_ = false;
};

}  // namespace installer
