// The about box's behaviour without its window: which installer and which plug-in this is,
// the links with their addresses and their visited colour, and the Zelt additions.
#pragma once

#include <string>

#include "installer/inictrl.h"

namespace installer {

// The installer's own data shown in the upper half.
inline constexpr const char* kParcelonName = "Parcelon";
inline constexpr const char* kZeltRemark = " (With Zelt Extensions)";
inline constexpr const char* kInstallerVersionText = "Version 1.0";
inline constexpr const char* kInstallerBuildText = "Build 26.03.2001";
inline constexpr const char* kInstallerCopyrightText = "\xA9 2001 Parcelon Software";
inline constexpr const char* kInstallerWww = "www.parcelon.example";
inline constexpr const char* kInstallerEmail = "info@parcelon.example";
inline constexpr const char* kUnzipPoweredByText = "Powered by";
inline constexpr const char* kUnzipLinkText = "KuduUnzip";
inline constexpr const char* kUnzipHomePage = "http://www.parcelon.example/kuduunzip/";

enum class InfoLinkId { InstallerWww, InstallerEmail, Unzip, PluginWww, PluginEmail };
inline constexpr int kInfoLinkCount = 5;

struct InfoLink {
  std::string text;
  bool visible = true;
  bool visited = false;  // drawn navy instead of blue from the first click on
};

struct InfoState {
  std::string caption;
  std::string parcelonlbl;
  std::string okbtn;
  std::string pluginnamelbl, pluginversionlbl, pluginclbl;
  InfoLink links[kInfoLinkCount];
  bool zeltimgVisible = false;
  const InfoLink& link(InfoLinkId id) const { return links[static_cast<int>(id)]; }
};

class InfoHost {
 public:
  virtual ~InfoHost() = default;
  virtual void ApplyScriptFont() = 0;
  // Paints one link label now in its current colour.
  virtual void RepaintLink(InfoLinkId id) = 0;
  virtual void OpenAddress(const std::string& address) = 0;
};

// A web address as it is opened: "http://" is put in front unless the text starts with it
// (in any letter case).
std::string WebAddress(const std::string& text);
// "mailto:" and the text, whatever it holds.
std::string MailAddress(const std::string& text);

class InfoController {
 public:
  explicit InfoController(InfoHost& host) : host_(host) {}

  const InfoState& state() const { return state_; }

  void FormCreate(const InstallScript& script);
  // A click on a link label: marks it visited, repaints it and opens its address.
  void LinkClick(InfoLinkId id);
  void zeltimgClick();

 private:
  InfoHost& host_;
  InfoState state_;
};

}  // namespace installer
