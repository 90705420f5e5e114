// The six conversion steps. Each reads and rewrites the whole work buffer and leaves the
// caret at the start of the text.
#pragma once

#include "plugin/convert/options.h"
#include "plugin/convert/work_buffer.h"

namespace quenda {

void ConvertSpecialCharacters(WorkBuffer& buffer);                              // step 1
void NormalizeTags(WorkBuffer& buffer, const ConversionOptions& options);       // step 2
void PlaceTitle(WorkBuffer& buffer);                                            // step 3
void CompleteLists(WorkBuffer& buffer, const ConversionOptions& options);       // step 4
void SetXmlDeclaration(WorkBuffer& buffer, const ConversionOptions& options);   // step 5
void InsertDocumentType(WorkBuffer& buffer, const ConversionOptions& options);  // step 6

}  // namespace quenda
