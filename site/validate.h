// Offline validation of a converted document against the XHTML 1.0 document type named in its
// own document type declaration, with the DTDs from the system's XML catalog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenda::site {

struct ValidationProblem {
  int line = 0;    // 1-based, in the converted document
  int column = 0;  // 1-based; 0 when the validator gives none
  std::string message;
};

// False in builds without a validator (the Windows one).
bool ValidationAvailable();

// Loads the catalog once; call before validating from several threads.
void PrepareValidation();

// The problems found in `document`; empty when it is valid. Never touches the network: a DTD
// the catalog does not know is a problem of its own.
std::vector<ValidationProblem> ValidateDocument(std::string_view document);

}  // namespace quenda::site
