// The control IDs of the wizard and the about box. Next and cancel carry the dialog IDs of
// Enter and Escape, so the keyboard reaches them through the dialog-message handling; the
// end-to-end driver finds every other control by these numbers.
#pragma once

namespace installer::ids {

inline constexpr int kNextButton = 1;    // IDOK
inline constexpr int kCancelButton = 2;  // IDCANCEL
inline constexpr int kAboutButton = 100;
inline constexpr int kWelcomeLabel = 101;
inline constexpr int kInstallLabel = 102;
inline constexpr int kSelectEditorLabel = 103;
inline constexpr int kEditorList = 104;
inline constexpr int kHomepageButton = 105;
inline constexpr int kZeltImage = 106;
inline constexpr int kSearchingFolderLabel = 110;
inline constexpr int kSearchingFolderAnimation = 111;
inline constexpr int kSelectFolderLabel = 120;
inline constexpr int kFolderEdit = 121;
inline constexpr int kBrowseButton = 122;
inline constexpr int kExtractingFilesLabel = 130;
inline constexpr int kExtractingFilesList = 131;
inline constexpr int kFinishedLabel = 140;
inline constexpr int kCompleteLabel = 141;

// The about box; its OK button is both the Enter and the Escape button.
inline constexpr int kOkButton = 1;
inline constexpr int kInfoFirstLink = 200;  // + InfoLinkId
inline constexpr int kInfoZeltImage = 210;
inline constexpr int kInfoPluginName = 211;
inline constexpr int kInfoParcelon = 212;
inline constexpr int kInfoPluginVersion = 213;
inline constexpr int kInfoPluginCopyright = 214;
inline constexpr int kInfoLinkCaptionOffset = 50;  // "WWW:" / "E-Mail:" beside link kInfoFirstLink + n

// The program's icon in its resources (install.rc).
inline constexpr int kApplicationIcon = 1;

inline constexpr const char* kApplicationClass = "Parcelon";
inline constexpr const char* kWizardClass = "Tmaindialog";
inline constexpr const char* kInfoClass = "Tinfodialog";

}  // namespace installer::ids
