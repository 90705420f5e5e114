// The six conversion steps.
//
// Each works on the whole text in the work buffer's form (lines joined by CR LF, every CR
// followed by its LF) and rewrites it in place; the steps that rewrite the text throughout use
// `spare` as working storage, so that a run of steps reuses the same two blocks of memory.
// The work buffer forms run one step on the buffer's text and leave the caret at its start.
#pragma once

#include <string>

#include "plugin/convert/options.h"
#include "plugin/convert/work_buffer.h"

namespace quenda {

void ConvertSpecialCharacters(std::string& text, std::string& spare);                              // step 1
void NormalizeTags(std::string& text, const ConversionOptions& options, std::string& spare,         // step 2
                   int threads = 1);
void PlaceTitle(std::string& text);                                                                // step 3
void CompleteLists(std::string& text, const ConversionOptions& options, std::string& spare);       // step 4
void SetXmlDeclaration(std::string& text, const ConversionOptions& options);                       // step 5
void InsertDocumentType(std::string& text, const ConversionOptions& options);                      // step 6

// The end tags of p, li, dt, dd, option, thead, tbody, tfoot, tr, td, th, colgroup, html, head
// and body that the text leaves out, written where HTML 4 ends those elements; nothing else changes. With
// `closeImpliedEndTags` it runs after step 6, in place of step 4's line rule.
void CompleteImpliedEndTags(std::string& text, std::string& spare);

void ConvertSpecialCharacters(WorkBuffer& buffer);
void NormalizeTags(WorkBuffer& buffer, const ConversionOptions& options);
void PlaceTitle(WorkBuffer& buffer);
void CompleteLists(WorkBuffer& buffer, const ConversionOptions& options);
void SetXmlDeclaration(WorkBuffer& buffer, const ConversionOptions& options);
void InsertDocumentType(WorkBuffer& buffer, const ConversionOptions& options);

}  // namespace quenda
