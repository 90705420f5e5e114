#include "plugin/convert/pipeline.h"

#include "plugin/convert/host_text.h"
#include "plugin/convert/steps.h"

namespace quenda {

namespace {

// The status texts are Windows-1252 bytes, as the window shows them.
constexpr const char* kStatusTexts[6] = {
    "Sonderzeichen werden konvertiert...",
    "Tags werden normalisiert...",
    "\xDC" "berschrift wird positioniert...",
    "Listeneintr\xE4" "ge und Auswahleintr\xE4" "ge werden komplettiert...",
    "L\xE4" "nderspezifische Attribute werden gesetzt...",
    "Document Type Definition wird eingesetzt...",
};
constexpr const char* kFinishedText = "Alles abgeschlossen!";
constexpr int kStepAdvance = 2;
constexpr int kLastPosition = 12;

}  // namespace

void ConvertLines(std::string& text, std::string& spare, const std::function<ConversionOptions()>& options,
                  ProgressSink* sink, int threads) {
  auto status = [sink](const char* text) {
    if (sink != nullptr) sink->Status(text);
  };
  auto position = [sink](int value) {
    if (sink != nullptr) sink->Position(value);
  };
  position(0);
  for (int step = 0; step < 6; ++step) {
    status(kStatusTexts[step]);
    switch (step) {
      case 0: ConvertSpecialCharacters(text, spare); break;
      case 1: NormalizeTags(text, options(), spare, threads); break;
      case 2: PlaceTitle(text); break;
      case 3: {
        const ConversionOptions current = options();
        if (!current.closeImpliedEndTags) CompleteLists(text, current, spare);
        break;
      }
      case 4: SetXmlDeclaration(text, options()); break;
      default:
        InsertDocumentType(text, options());
        // The implied end tags come last: steps 5 and 6 look for the first "<html", "<?xml" and
        // "<!doctype" anywhere in the text, and so find exactly what they find without them.
        if (options().closeImpliedEndTags) CompleteImpliedEndTags(text, spare);
        break;
    }
    position(step < 5 ? kStepAdvance * (step + 1) : kLastPosition);
  }
  status(kFinishedText);
}

void ConversionPipeline(WorkBuffer& buffer, const std::function<ConversionOptions()>& options, ProgressSink* sink) {
  std::string text = buffer.Text();
  buffer.Clear();
  std::string spare;
  ConvertLines(text, spare, options, sink);
  std::string().swap(spare);
  buffer.SetText(text);
  buffer.SetSelStart(0);
}

std::string ConvertText(std::string_view text, const ConversionOptions& options) {
  std::string lines = HostLineText(text);
  std::string spare;
  ConvertLines(lines, spare, [&options] { return options; }, nullptr);
  return lines;
}

}  // namespace quenda
