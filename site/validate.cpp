#include "site/validate.h"

#ifdef QUENDA_WITH_LIBXML2
#include <libxml/SAX2.h>
#include <libxml/catalog.h>
#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>

#include <map>
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

// The document types this thread has read, by public and system identifier. Reading the XHTML
// DTDs with their entity sets costs far more than validating a page against them, and a site
// names one or two of them: each is read once per thread and lent to every document that names
// it. Lent, not shared between threads: validation fills in parts of a DTD as it goes (content
// models, entity contents).
class DtdCache {
 public:
  ~DtdCache() {
    for (auto& entry : dtds_) xmlFreeDtd(entry.second);
  }
  xmlDtdPtr Find(const xmlChar* publicId, const xmlChar* systemId) {
    std::string key = std::string(publicId != nullptr ? reinterpret_cast<const char*>(publicId) : "") + '\n' +
                      (systemId != nullptr ? reinterpret_cast<const char*>(systemId) : "");
    auto found = dtds_.find(key);
    if (found != dtds_.end()) return found->second;
    xmlDtdPtr dtd = xmlParseDTD(publicId, systemId);
    if (dtd != nullptr) dtds_.emplace(key, dtd);
    return dtd;
  }
  bool Owns(xmlDtdPtr dtd) const {
    for (const auto& entry : dtds_) {
      if (entry.second == dtd) return true;
    }
    return false;
  }

 private:
  std::map<std::string, xmlDtdPtr> dtds_;
};

thread_local DtdCache dtdCache;

// The parser keeps the parsed content of an entity in the DTD, made of nodes of the document
// that first used it. Before that document goes, the content goes too, and the entity reads as
// never used, so the next document parses it afresh.
void ForgetEntityContent(void* payload, void*, const xmlChar*) {
  auto* entity = static_cast<xmlEntityPtr>(payload);
  if (entity->children != nullptr && entity->owner) xmlFreeNodeList(entity->children);
  entity->children = nullptr;
  entity->last = nullptr;
  entity->owner = 0;
  entity->checked = 0;
}

// Where the parser would read the document's external subset, it borrows the cached one; a
// DTD that cannot be read is left to the parser, which reports it.
void BorrowExternalSubset(void* context, const xmlChar* name, const xmlChar* publicId, const xmlChar* systemId) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
  if (ctxt->myDoc != nullptr && ctxt->wellFormed && ctxt->myDoc->extSubset == nullptr &&
      (publicId != nullptr || systemId != nullptr)) {
    if (xmlDtdPtr dtd = dtdCache.Find(publicId, systemId)) {
      ctxt->myDoc->extSubset = dtd;
      return;
    }
  }
  xmlSAX2ExternalSubset(context, name, publicId, systemId);
}

}  // namespace

bool ValidationAvailable() { return true; }

void PrepareValidation() {
  xmlInitParser();
  xmlInitializeCatalog();
  // Only the system catalog, and never the network, for the documents and the DTDs alike.
  xmlCatalogSetDefaults(XML_CATA_ALLOW_GLOBAL);
  xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
}

std::vector<ValidationProblem> ValidateDocument(std::string_view document) {
  std::vector<ValidationProblem> problems;
  xmlSetStructuredErrorFunc(&problems, CollectProblem);
  xmlParserCtxtPtr context = xmlCreateMemoryParserCtxt(document.data(), static_cast<int>(document.size()));
  if (context == nullptr) {
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    return {{0, 0, "out of memory"}};
  }
  // No shared dictionary: what a borrowed DTD keeps from a document must not point into it.
  xmlCtxtUseOptions(context, XML_PARSE_DTDLOAD | XML_PARSE_DTDVALID | XML_PARSE_NONET | XML_PARSE_NODICT);
  context->sax->externalSubset = BorrowExternalSubset;
  xmlParseDocument(context);
  xmlDocPtr doc = context->myDoc;
  context->myDoc = nullptr;
  if (doc != nullptr && doc->intSubset == nullptr && doc->extSubset == nullptr && problems.empty()) {
    problems.push_back({1, 1, "no document type declaration"});
  }
  if (problems.empty() && (doc == nullptr || !context->wellFormed || !context->valid)) {
    problems.push_back({0, 0, "not valid"});
  }
  if (doc != nullptr && dtdCache.Owns(doc->extSubset)) {
    if (doc->extSubset->entities != nullptr) {
      xmlHashScan(static_cast<xmlHashTablePtr>(doc->extSubset->entities), ForgetEntityContent, nullptr);
    }
    doc->extSubset = nullptr;
  }
  xmlFreeDoc(doc);
  xmlFreeParserCtxt(context);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  return problems;
}

#else

bool ValidationAvailable() { return false; }
void PrepareValidation() {}
std::vector<ValidationProblem> ValidateDocument(std::string_view) { return {{0, 0, "validation not available"}}; }

#endif

}  // namespace quenda::site
