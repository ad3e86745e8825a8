// One machine-readable result line: a flat JSON object, printed on its own line.
#pragma once

#include <string>

namespace bench {

class JsonLine {
public:
    JsonLine& add(const std::string& key, const char* value);
    JsonLine& add(const std::string& key, double value);  // whole numbers print without a point
    void print() const;                                   // to standard output, with a newline

private:
    std::string text_;
};

}  // namespace bench
