// The steps on a work buffer: the buffer's text goes through the step and comes back.
#include <string>

#include "plugin/convert/steps.h"

namespace quenda {

namespace {

template <class Step>
void OnBufferText(WorkBuffer& buffer, Step&& step) {
  std::string text = buffer.Text();
  // Documents run to many megabytes: the buffer lets go of its copy while the step works.
  buffer.Clear();
  step(text);
  buffer.SetText(text);
  buffer.SetSelStart(0);
}

}  // namespace

void ConvertSpecialCharacters(WorkBuffer& buffer) {
  OnBufferText(buffer, [](std::string& text) {
    std::string spare;
    ConvertSpecialCharacters(text, spare);
  });
}

void NormalizeTags(WorkBuffer& buffer, const ConversionOptions& options) {
  OnBufferText(buffer, [&options](std::string& text) {
    std::string spare;
    NormalizeTags(text, options, spare);
  });
}

void PlaceTitle(WorkBuffer& buffer) {
  OnBufferText(buffer, [](std::string& text) { PlaceTitle(text); });
}

void CompleteLists(WorkBuffer& buffer, const ConversionOptions& options) {
  OnBufferText(buffer, [&options](std::string& text) {
    std::string spare;
    CompleteLists(text, options, spare);
  });
}

void SetXmlDeclaration(WorkBuffer& buffer, const ConversionOptions& options) {
  OnBufferText(buffer, [&options](std::string& text) { SetXmlDeclaration(text, options); });
}

void InsertDocumentType(WorkBuffer& buffer, const ConversionOptions& options) {
  OnBufferText(buffer, [&options](std::string& text) { InsertDocumentType(text, options); });
}

}  // namespace quenda
