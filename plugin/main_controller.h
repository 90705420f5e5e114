// The converter window's behaviour without its pixels: the option controls as the conversion
// reads them, the settings kept in the registry, the conversion run with its progress, and
// the result handed back to the host. The Win32 window implements MainView and forwards each
// of its handlers here, so all of this runs and is tested without a screen.
#pragma once

#include <memory>
#include <string>

#include "platform/registry.h"
#include "plugin/convert/options.h"
#include "plugin/convert/work_buffer.h"

namespace quenda {

// The plug-in's result of the last converter window; lives as long as the library.
extern std::string ResultText;
extern bool resultAccepted;

enum class MainPage { allgemein = 0, ausgabe = 1, hilfe = 2, info = 3 };

// What the window's option controls and its position hold. A position of -1 in a drop-down
// list means that no entry is selected.
struct OptionControls {
  int left = 160;
  int top = 10;
  bool checkBox1 = true;  // list and option completion
  bool checkBox2 = true;  // compatibility with browsers that know no XHTML
  int comboBox1 = -1;     // 0 "Deutsch", 1 "Englisch"
  std::string comboBox2;  // the character set, free text
  int comboBox3 = -1;     // 0 "Transitional", 1 "Strict", 2 "Frameset"

  bool operator==(const OptionControls&) const = default;
};

// The values the window starts with before its settings are loaded; a failed load leaves
// every setting after the failing one like this.
inline OptionControls InitialControls() { return OptionControls{}; }

// The options the conversion steps read from the controls.
ConversionOptions OptionsFromControls(const OptionControls& controls);

// Home pages opened from the window; addresses of our choosing.
inline constexpr const char* kMakerHomePage = "https://quenda.example.org/";
inline constexpr const char* kZeltHomePage = "https://zelt-plugins.example.org/";

// The effects the controller asks of the real window.
class MainView {
 public:
  virtual ~MainView() = default;
  virtual OptionControls ReadControls() = 0;
  // Sets the controls and the position; this is not a change by the user.
  virtual void WriteControls(const OptionControls& controls) = 0;
  virtual void SetEncodingText(const std::string& text) = 0;
  // The standard error report; returns once the user has dismissed it.
  virtual void ShowError(const std::string& message) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // Sets the status line and repaints it at once: no messages are processed during a run.
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void ShowProgress(int position) = 0;
  virtual void SetOutputText(const std::string& text) = 0;
  virtual std::string OutputText() = 0;
  virtual void ShowPage(MainPage page) = 0;
  virtual void EnableAccept() = 0;
  virtual void CloseWindow() = 0;
  virtual void OpenAddress(const std::string& address) = 0;
};

class MainController {
 public:
  MainController(MainView& view, platform::Registry& registry);
  ~MainController();

  // The hidden work memo; the host's document goes in here before the window is shown.
  WorkBuffer& TempMemo() { return *tempMemo_; }
  // Fills the work memo with a host document: lines split at CR or CR LF, a lone LF stays
  // an ordinary character. A null text is an empty document.
  void SetDocument(const char* text);

  void FormShow();
  // Saves the settings; a close that came from neither button counts as "Abbrechen".
  void FormClose();
  void ComboBox1Change();
  void SpeedButton2Click();  // "Konvertierung starten"
  void SpeedButton3Click();  // "Übernehmen"
  void SpeedButton5Click();  // "Abbrechen"
  // The hidden step buttons BitBtn1 to BitBtn6: one step each over the work memo.
  void BitBtnClick(int step);
  void Image2Click() { view_.OpenAddress(kMakerHomePage); }
  void Label6Click() { view_.OpenAddress(kMakerHomePage); }
  void Image1Click() { view_.OpenAddress(kZeltHomePage); }
  void Label8Click() { view_.OpenAddress(kZeltHomePage); }

 private:
  void LoadSettings(OptionControls& controls);

  MainView& view_;
  platform::Registry& registry_;
  std::unique_ptr<WorkBuffer> tempMemo_;
  bool closedByButton_ = false;
};

}  // namespace quenda
