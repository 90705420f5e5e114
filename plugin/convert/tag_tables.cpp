#include "plugin/convert/tag_tables.h"

namespace quenda {

const std::array<std::string_view, 14> WithSlash = {
    "<img", "<link", "<br", "<input", "<meta", "<base ", "<frame ",
    "<hr", "<embed", "<param", "<isindex", "<basefont", "<area", "<col ",
};

const std::array<std::string_view, 7> StandAlones = {
    "readonly", "noshade", "checked", "selected", "noresize", "nowrap", "multiple",
};

const std::array<std::string_view, 29> LittleValues = {
    "\"_self\"",  "\"_blank\"",  "\"_parent\"", "\"_top\"",   "\"left\"",  "\"right\"",
    "\"top\"",    "\"middle\"",  "\"bottom\"",  "\"center\"", "\"true\"",  "\"false\"",
    "\"post\"",   "\"get\"",     "\"text\"",    "\"submit\"", "\"reset\"", "\"image\"",
    "\"password\"", "\"hidden\"", "\"checkbox\"", "\"radio\"", "\"button\"", "\"yes\"",
    "\"no\"",     "\"auto\"",    "\"circle\"",  "\"square\"", "\"disc\"",
};

const std::string_view TagOpenMark = "\xB1\xA5";
const std::string_view TagCloseMark = "\xA5\xB1";

}  // namespace quenda
