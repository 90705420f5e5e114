#include "installer/info_controller.h"

#include "installer/ansi_text.h"
#include "installer/wizard_controller.h"

namespace installer {

std::string WebAddress(const std::string& text) {
  constexpr std::string_view kScheme = "http://";
  if (text.size() >= kScheme.size() && EqualsIgnoreCase(std::string_view(text).substr(0, kScheme.size()), kScheme)) {
    return text;
  }
  return std::string(kScheme) + text;
}

std::string MailAddress(const std::string& text) { return "mailto:" + text; }

void InfoController::FormCreate(const InstallScript& script) {
  host_.ApplyScriptFont();
  for (char c : script.ReadText(ScriptKeyId::About)) {
    if (c != '&') state_.caption += c;
  }
  state_.okbtn = script.ReadText(ScriptKeyId::Ok);
  state_.pluginnamelbl = script.ReadText(ScriptKeyId::PluginName);
  state_.pluginversionlbl = script.ReadText(ScriptKeyId::PluginVersion);
  state_.pluginclbl = script.ReadText(ScriptKeyId::PluginCopyright);

  auto set = [this](InfoLinkId id, std::string text) {
    InfoLink& link = state_.links[static_cast<int>(id)];
    link.visible = !text.empty();
    link.text = std::move(text);
  };
  set(InfoLinkId::InstallerWww, kInstallerWww);
  set(InfoLinkId::InstallerEmail, kInstallerEmail);
  set(InfoLinkId::Unzip, kUnzipLinkText);
  set(InfoLinkId::PluginWww, script.ReadText(ScriptKeyId::PluginWww));
  set(InfoLinkId::PluginEmail, script.ReadText(ScriptKeyId::PluginEmail));

  state_.zeltimgVisible = script.ZeltEnabled();
  state_.parcelonlbl = kParcelonName;
  if (state_.zeltimgVisible) state_.parcelonlbl += kZeltRemark;
}

void InfoController::LinkClick(InfoLinkId id) {
  InfoLink& link = state_.links[static_cast<int>(id)];
  link.visited = true;
  host_.RepaintLink(id);
  switch (id) {
    case InfoLinkId::InstallerWww:
    case InfoLinkId::PluginWww:
      host_.OpenAddress(WebAddress(link.text));
      break;
    case InfoLinkId::InstallerEmail:
    case InfoLinkId::PluginEmail:
      host_.OpenAddress(MailAddress(link.text));
      break;
    case InfoLinkId::Unzip:
      host_.OpenAddress(kUnzipHomePage);
      break;
  }
}

void InfoController::zeltimgClick() { host_.OpenAddress(kZeltInfoAddress); }

}  // namespace installer
