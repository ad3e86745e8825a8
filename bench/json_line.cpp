// One machine-readable result line: a flat JSON object, printed on its own line.
#include "bench/json_line.h"

#include <cstdio>

namespace bench {

void JsonLine::addKey(const char* key) {
    text_ += text_.empty() ? "{\"" : ",\"";
    text_ += key;
    text_ += "\":";
}

JsonLine& JsonLine::add(const char* key, const char* value) {
    addKey(key);
    text_ += '"';
    for (const char* c = value; *c; ++c) {
        if (*c == '"' || *c == '\\')
            text_ += '\\';
        if (static_cast<unsigned char>(*c) >= 0x20)
            text_ += *c;
    }
    text_ += '"';
    return *this;
}

JsonLine& JsonLine::add(const char* key, double value) {
    char number[32];
    std::snprintf(number, sizeof number, "%.3f", value);
    addKey(key);
    text_ += number;
    return *this;
}

JsonLine& JsonLine::add(const char* key, long value) {
    addKey(key);
    text_ += std::to_string(value);
    return *this;
}

void JsonLine::print() const {
    std::printf("%s}\n", text_.empty() ? "{" : text_.c_str());
    std::fflush(stdout);
}

}  // namespace bench
