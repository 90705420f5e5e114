#include "plugin/main_controller.h"

#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"
#include "plugin/convert/steps.h"
#include "plugin/settings.h"

namespace quenda {

std::string ResultText;
bool resultAccepted = false;

namespace {

// The progress of a run goes straight to the window's status line and progress bar.
class ViewProgress : public ProgressSink {
 public:
  explicit ViewProgress(MainView& view) : view_(view) {}
  void Status(const std::string& text) override { view_.ShowStatus(text); }
  void Position(int position) override { view_.ShowProgress(position); }

 private:
  MainView& view_;
};

const char* LanguageValue(int position) { return position == 0 ? "german" : "english"; }

const char* DtdValue(int position) {
  if (position == 0) return "transitional";
  if (position == 1) return "strict";
  return "frameset";
}

}  // namespace

ConversionOptions OptionsFromControls(const OptionControls& controls) {
  ConversionOptions options;
  options.completeLists = controls.checkBox1;
  options.nonXhtmlCompatible = controls.checkBox2;
  options.docLanguage = controls.comboBox1 == 0 ? DocLanguage::german : DocLanguage::english;
  options.encoding = controls.comboBox2;
  options.dtd = controls.comboBox3 == 0   ? DtdKind::transitional
                : controls.comboBox3 == 1 ? DtdKind::strict
                                          : DtdKind::frameset;
  return options;
}

MainController::MainController(MainView& view, platform::Registry& registry)
    : view_(view), registry_(registry), tempMemo_(std::make_unique<WorkBuffer>()) {}

MainController::~MainController() = default;

void MainController::SetDocument(const char* text) {
  LoadHostText(*tempMemo_, HostDocumentText(text));
}

// Each value is applied as soon as it is read, so a value that cannot be used stops the load
// with everything before it applied and everything after it at its initial value.
void MainController::LoadSettings(OptionControls& controls) {
  controls.top = TextToInt(ReadSettingInt(registry_, kSettingsKey, "PosY", 100));
  controls.left = TextToInt(ReadSettingInt(registry_, kSettingsKey, "PosX", 150));
  controls.checkBox1 = TextToInt(ReadSettingInt(registry_, kSettingsKey, "convertSpecial", 1)) == 1;
  controls.checkBox2 = TextToInt(ReadSettingInt(registry_, kSettingsKey, "nonXHTMLcompability", 1)) == 1;
  controls.comboBox1 = ReadSettingText(registry_, kSettingsKey, "doclanguage", "german") == "german" ? 0 : 1;
  controls.comboBox2 = ReadSettingText(registry_, kSettingsKey, "encoding", "iso-8859-1");
  std::string dtd = ReadSettingText(registry_, kSettingsKey, "dtd", "transitional");
  controls.comboBox3 = dtd == "transitional" ? 0 : dtd == "strict" ? 1 : 2;
}

void MainController::FormShow() {
  OptionControls controls = InitialControls();
  std::string error;
  try {
    LoadSettings(controls);
  } catch (const SettingsError& e) {
    error = e.what();
  }
  view_.WriteControls(controls);
  if (!error.empty()) view_.ShowError(error);
}

void MainController::FormClose() {
  if (!closedByButton_) {
    ResultText.clear();
    resultAccepted = false;
  }
  OptionControls controls = view_.ReadControls();
  WriteSetting(registry_, kSettingsKey, "PosX", IntToText(controls.left));
  WriteSetting(registry_, kSettingsKey, "PosY", IntToText(controls.top));
  WriteSetting(registry_, kSettingsKey, "convertSpecial", controls.checkBox1 ? "1" : "0");
  WriteSetting(registry_, kSettingsKey, "nonXHTMLcompability", controls.checkBox2 ? "1" : "0");
  WriteSetting(registry_, kSettingsKey, "doclanguage", LanguageValue(controls.comboBox1));
  WriteSetting(registry_, kSettingsKey, "encoding", controls.comboBox2);
  WriteSetting(registry_, kSettingsKey, "dtd", DtdValue(controls.comboBox3));
}

void MainController::ComboBox1Change() {
  view_.SetEncodingText(view_.ReadControls().comboBox1 == 0 ? "iso-8859-1" : "UTF-8");
}

void MainController::SpeedButton2Click() {
  view_.SetBusyCursor(true);
  ViewProgress progress(view_);
  // The steps read the options from the controls as each one starts.
  ConversionPipeline(*tempMemo_, [this] { return OptionsFromControls(view_.ReadControls()); }, &progress);
  view_.SetOutputText(std::string());
  tempMemo_->SelectAll();
  view_.SetOutputText(tempMemo_->SelText());
  tempMemo_->SetSelStart(0);
  view_.ShowPage(MainPage::ausgabe);
  view_.EnableAccept();
  view_.SetBusyCursor(false);
}

void MainController::SpeedButton3Click() {
  ResultText = view_.OutputText();
  resultAccepted = true;
  closedByButton_ = true;
  view_.CloseWindow();
}

void MainController::SpeedButton5Click() {
  ResultText.clear();
  resultAccepted = false;
  closedByButton_ = true;
  view_.CloseWindow();
}

void MainController::BitBtnClick(int step) {
  ConversionOptions options = OptionsFromControls(view_.ReadControls());
  switch (step) {
    case 1: ConvertSpecialCharacters(*tempMemo_); break;
    case 2: NormalizeTags(*tempMemo_, options); break;
    case 3: PlaceTitle(*tempMemo_); break;
    case 4: CompleteLists(*tempMemo_, options); break;
    case 5: SetXmlDeclaration(*tempMemo_, options); break;
    case 6: InsertDocumentType(*tempMemo_, options); break;
    default: break;
  }
}

}  // namespace quenda
