// One machine-readable result line: a flat JSON object, printed on its own line.
#include "bench/json_line.h"

#include <cstdio>

namespace bench {

JsonLine& JsonLine::add(const std::string& key, const char* value) {
    text_ += (text_.empty() ? "{\"" : ",\"") + key + "\":\"";
    for (const char* c = value; *c; ++c) {
        if (*c == '"' || *c == '\\')
            text_ += '\\';
        if (static_cast<unsigned char>(*c) >= 0x20)
            text_ += *c;
    }
    text_ += '"';
    return *this;
}

JsonLine& JsonLine::add(const std::string& key, double value) {
    char number[32];
    std::snprintf(number, sizeof number, "%.9g", value);
    text_ += (text_.empty() ? "{\"" : ",\"") + key + "\":" + number;
    return *this;
}

void JsonLine::print() const {
    std::printf("%s}\n", text_.empty() ? "{" : text_.c_str());
    std::fflush(stdout);
}

}  // namespace bench
