// The wizard's list of extracted files: one row per archive member, newest first, each row
// a status character ("1" extracted, "0" failed) followed by the target path; and how a row
// is laid out and its path shortened to fit.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace installer {

class ExtractionList {
 public:
  // Inserts a row at the top and tells the row-added handler (the view repaints at once).
  void AddRow(bool extracted, const std::string& target);
  const std::vector<std::string>& rows() const { return rows_; }
  void SetRowAddedHandler(std::function<void()> handler) { rowAdded_ = std::move(handler); }

 private:
  std::vector<std::string> rows_;
  std::function<void()> rowAdded_;
};

// The parts of a row text.
bool RowExtracted(const std::string& row);
std::string RowTarget(const std::string& row);

// Pixel positions of a row's two texts. The status column is as wide as the wider of the two
// status words plus 5 pixels and stands at the row's right edge; the path starts 2 pixels in
// and may use the client width less that column and 12 pixels.
struct RowLayout {
  int pathLeft;
  int pathMaxWidth;
  int statusLeft;
};
RowLayout LayoutRow(int rowLeft, int rowRight, int clientWidth, int okTextWidth, int errorTextWidth);

// Colours of the row drawing (red, green, blue).
struct RowColor {
  unsigned char red, green, blue;
};
inline constexpr RowColor kSelectedRowColor{224, 224, 224};
inline constexpr RowColor kExtractedColor{0, 128, 0};
inline constexpr RowColor kFailedColor{255, 0, 0};

// Shortens a path until width(path) <= maxWidth: the folder names behind the drive (the part
// before the first separator) are folded into "..." one after the other, then the drive is
// dropped, then the "..." too; the file name itself is never cut, so the result may still be
// too wide. width measures a text in pixels.
using TextWidth = std::function<int(const std::string& text)>;
std::string ShortenRowPath(const std::string& path, int maxWidth, const TextWidth& width);

}  // namespace installer
