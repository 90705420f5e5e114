// Control IDs and names of the converter window, shared by the window and the programs that
// drive it in tests. No OS header: plain numbers.
#pragma once

namespace quenda::ids {

inline constexpr const wchar_t* kMainClass = L"THauptform";
inline constexpr const wchar_t* kMainCaption = L"Quenda  - Plugin";

inline constexpr int kPageControl = 100;
inline constexpr int kSpeedButton3 = 101;  // "Übernehmen"
inline constexpr int kSpeedButton5 = 102;  // "Abbrechen"
inline constexpr int kImage2 = 103;        // the maker's banner in the bottom strip

inline constexpr int kTabSheet1 = 110;  // the page panels, in page order
inline constexpr int kTabSheet2 = 111;
inline constexpr int kTabSheet4 = 112;
inline constexpr int kTabSheetInfo = 113;

inline constexpr int kCheckBox1 = 120;
inline constexpr int kCheckBox2 = 121;
inline constexpr int kComboBox1 = 122;
inline constexpr int kComboBox2 = 123;
inline constexpr int kComboBox3 = 124;
inline constexpr int kSpeedButton2 = 125;  // "Konvertierung starten"
inline constexpr int kLabel14 = 126;
inline constexpr int kProgressBar1 = 127;

inline constexpr int kPlusMemo1 = 130;
inline constexpr int kPlusGutter1 = 131;
inline constexpr int kPlusMemo2 = 140;

inline constexpr int kImage1 = 150;
inline constexpr int kLabel8 = 151;
inline constexpr int kLabel6 = 152;

inline constexpr int kBitBtn1 = 161;  // kBitBtn1 + n - 1 runs step n

}  // namespace quenda::ids
