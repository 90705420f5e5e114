// Step 3: the document's first title element moves to a line of its own right after the line
// that ends the head start tag.
#include "plugin/convert/steps.h"

#include <string>

namespace quenda {

namespace {

// True when the text holds nothing but characters up to and including the blank.
bool OnlyBlanks(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

}  // namespace

void PlaceTitle(WorkBuffer& buffer) {
  if (!buffer.FindTxt("<title")) {
    buffer.SetSelStart(0);
    return;
  }
  const int64_t titleStart = buffer.SelStart() + buffer.SelLength();
  const int64_t titleLine = buffer.SelLine();
  // Without an end tag there is nothing to cut; the text stays as it is.
  if (!buffer.FindTxt("</title>")) {
    buffer.SetSelStart(0);
    return;
  }
  const int64_t titleEnd = buffer.SelStart();

  buffer.SetSelStart(titleStart);
  buffer.SetSelLength(titleEnd - titleStart);
  const std::string titleText = buffer.SelText();
  buffer.SetSelText("");

  const std::string rest = buffer.Line(titleLine);
  const bool restWasLastLine = titleLine == buffer.LineCount() - 1;
  const bool deleted = OnlyBlanks(rest);
  if (deleted) buffer.DeleteLine(titleLine);

  buffer.SetSelStart(0);
  if (!buffer.FindTxt("<head")) {
    // No place to put it: the title goes back where it stood, and the text is as before.
    if (deleted) {
      if (restWasLastLine) {
        buffer.ReplaceLine(titleLine, rest);
      } else {
        buffer.InsertLine(titleLine, rest);
      }
    }
    buffer.SetSelStart(titleStart);
    buffer.SetSelText(titleText);
    buffer.SetSelStart(0);
    return;
  }
  int64_t headLine = buffer.SelLine();
  if (buffer.FindTxt(">")) headLine = buffer.SelLine();

  buffer.InsertLine(headLine + 1, " " + titleText);
  buffer.SetSelStart(0);
}

}  // namespace quenda
