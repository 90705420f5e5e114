#include "plugin/convert/pipeline.h"

#include <gtest/gtest.h>

#include <vector>

#include "plugin/convert/host_text.h"

namespace quenda {
namespace {

class RecordingSink : public ProgressSink {
 public:
  void Status(const std::string& text) override { events.push_back("status " + text); }
  void Position(int position) override { events.push_back("position " + std::to_string(position)); }
  std::vector<std::string> events;
};

TEST(ConversionPipeline, ReportsEachStepsStatusThenItsProgress) {
  const std::vector<std::string> want = {
      "position 0",
      "status Sonderzeichen werden konvertiert...",
      "position 2",
      "status Tags werden normalisiert...",
      "position 4",
      "status \xDC" "berschrift wird positioniert...",
      "position 6",
      "status Listeneintr\xE4" "ge und Auswahleintr\xE4" "ge werden komplettiert...",
      "position 8",
      "status L\xE4" "nderspezifische Attribute werden gesetzt...",
      "position 10",
      "status Document Type Definition wird eingesetzt...",
      "position 12",
      "status Alles abgeschlossen!",
  };
  for (bool completeLists : {true, false}) {
    WorkBuffer b;
    LoadHostText(b, "");
    RecordingSink sink;
    ConversionOptions options;
    options.completeLists = completeLists;
    ConversionPipeline(b, [&] { return options; }, &sink);
    EXPECT_EQ(sink.events, want) << "completeLists " << completeLists;
    EXPECT_EQ(b.SelStart(), 0);
  }
}

TEST(ConversionPipeline, RunsStepOneFirstAndLeavesTheCaretAtTheStart) {
  WorkBuffer b;
  LoadHostText(b, "<p>\xFC</p>");
  ConversionPipeline(b, [] { return ConversionOptions{}; }, nullptr);
  EXPECT_NE(b.Text().find("&uuml;"), std::string::npos);
  EXPECT_EQ(b.SelStart(), 0);
  EXPECT_NE(ConvertText("\xDF", ConversionOptions{}).find("&szlig;"), std::string::npos);
}

}  // namespace
}  // namespace quenda
