// One machine-readable result line: a flat JSON object, printed on its own line.
#pragma once

#include <string>

namespace bench {

class JsonLine {
public:
    JsonLine& add(const char* key, const char* value);
    JsonLine& add(const char* key, double value);
    JsonLine& add(const char* key, long value);
    JsonLine& add(const char* key, int value) { return add(key, static_cast<long>(value)); }
    void print() const;  // to standard output, with a newline

private:
    void addKey(const char* key);
    std::string text_;
};

}  // namespace bench
