#include "site/validate.h"

#ifdef QUENDA_WITH_LIBXML2
#include <libxml/catalog.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#endif

namespace quenda::site {

#ifdef QUENDA_WITH_LIBXML2

namespace {

// Collects the problems of the document being parsed on this thread.
void CollectProblem(void* data, xmlErrorPtr error) {
  if (error == nullptr || error->level == XML_ERR_WARNING) return;
  std::string message = error->message != nullptr ? error->message : "unknown problem";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  static_cast<std::vector<ValidationProblem>*>(data)->push_back({error->line, error->int2, message});
}

}  // namespace

bool ValidationAvailable() { return true; }

void PrepareValidation() {
  xmlInitParser();
  xmlInitializeCatalog();
  // Only the system catalog: no document may lead the parser to fetch a DTD from elsewhere.
  xmlCatalogSetDefaults(XML_CATA_ALLOW_GLOBAL);
}

std::vector<ValidationProblem> ValidateDocument(std::string_view document) {
  std::vector<ValidationProblem> problems;
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  if (context == nullptr) return {{0, 0, "out of memory"}};
  xmlSetStructuredErrorFunc(&problems, CollectProblem);
  xmlDocPtr doc = xmlCtxtReadMemory(context, document.data(), static_cast<int>(document.size()), nullptr, nullptr,
                                    XML_PARSE_DTDLOAD | XML_PARSE_DTDVALID | XML_PARSE_NONET);
  if (doc != nullptr && doc->intSubset == nullptr && doc->extSubset == nullptr && problems.empty()) {
    problems.push_back({1, 1, "no document type declaration"});
  }
  if (problems.empty() && (doc == nullptr || context->valid == 0)) problems.push_back({0, 0, "not valid"});
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  xmlFreeDoc(doc);
  xmlFreeParserCtxt(context);
  return problems;
}

#else

bool ValidationAvailable() { return false; }
void PrepareValidation() {}
std::vector<ValidationProblem> ValidateDocument(std::string_view) { return {{0, 0, "validation not available"}}; }

#endif

}  // namespace quenda::site
