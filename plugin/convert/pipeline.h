// The driver that runs the six steps in order and reports progress.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "plugin/convert/options.h"
#include "plugin/convert/work_buffer.h"

namespace quenda {

// Told of each status text (to be shown at once) and each progress position (0..12).
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void Status(const std::string& text) = 0;
  virtual void Position(int position) = 0;
};

// Runs steps 1 to 6 over a text in the work buffer's form (lines joined by CR LF, every CR
// followed by its LF); `text` holds the result afterwards. `spare` is working storage: a caller
// that converts one big document can hand in a block it no longer needs. With two or more
// threads, steps that can split a big text handle its parts at once.
void ConvertLines(std::string& text, std::string& spare, const std::function<ConversionOptions()>& options,
                  ProgressSink* sink, int threads = 1);

// Runs steps 1 to 6 over the buffer. The options are asked for when each step starts, so a
// caller can read them from its controls at that moment.
void ConversionPipeline(WorkBuffer& buffer, const std::function<ConversionOptions()>& options, ProgressSink* sink);

// Convenience: the whole conversion of one text with fixed options and no progress.
std::string ConvertText(std::string_view text, const ConversionOptions& options);

}  // namespace quenda
