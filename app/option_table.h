// Command-line options as one table whose rows name an option, its value and what it sets, for
// the program, the capture tool and the bench: getopt_long_only reads argv, --help is written.
#pragma once

#include <charconv>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

struct Option {
    const char* name;       // without dashes; "-name", "--name" and "--name=value" all work
    const char* valueName;  // the value as --help shows it ("T", "DIR"); null: takes none
    std::string help;       // one paragraph, wrapped by --help; empty: not listed
    std::function<bool(const char* value)> apply;  // false: the value is bad
    bool endsReading = false;        // --help, --version: the rest of the line is not read
    const char* passedOn = nullptr;  // the toolkit's own: left in argv for it, so spelt
};

// A number, all of `text` and whole for a whole target, within [low, high] (never NaN).
template <typename Number>
bool readNumber(const char* text, double low, double high, Number& target) {
    std::conditional_t<std::is_integral_v<Number>, long long, double> value{};
    const auto [stop, fault] = std::from_chars(text, text + std::strlen(text), value);
    const bool good = fault == std::errc() && *stop == '\0' && value >= low && value <= high;
    return good && (target = static_cast<Number>(value), true);
}

// Help texts: "HELP (LOW to HIGH; default D)", "HELP (A, B or C; default B)".
std::string numberText(double value);
std::string withRange(const char* help, double low, double high, const std::string& byDefault);
std::string withChoices(const char* help, const std::vector<const char*>& words, int chosen);

// Builders. --help's default is `target`'s value as the table is built, or else `byDefault`.
template <typename Number>  // int, long, float or double
Option numberOption(const char* name, const char* valueName, Number& target, double low,
                    double high, const char* help, const std::string& byDefault = "") {
    return {name, valueName,
            withRange(help, low, high, byDefault.empty() ? numberText(target) : byDefault),
            [&target, low, high](const char* v) { return readNumber(v, low, high, target); }};
}
template <typename Choice>  // int or enum: the index of the word in `words`
Option choiceOption(const char* name, Choice& target, std::vector<const char*> words,
                    const char* help) {
    return {name, "WORD", withChoices(help, words, static_cast<int>(target)),
            [&target, words](const char* v) {
                for (std::size_t n = 0; n < words.size(); ++n)
                    if (std::strcmp(v, words[n]) == 0)
                        return target = static_cast<Choice>(n), true;
                return false;
            }};
}
inline Option flagOption(const char* name, int& target, int setTo, const char* help) {
    return {name, nullptr, help, [&target, setTo](const char*) { return target = setTo, true; }};
}
inline Option stopOption(const char* name, int& target, const char* help) {  // ends reading
    return {name, nullptr, help, [&target](const char*) { return target = 1, true; }, true};
}
inline Option textOption(const char* name, const char* valueName, std::string& target,
                         const char* help) {  // any word but the empty one
    return {name, valueName, help, [&target](const char* v) { return target = v, *v != '\0'; }};
}
// WxH, each side in [low, high].
Option sizeOption(const char* name, int& width, int& height, int low, int high, const char* help);
// The toolkit's own ("-display"), kept in argv for it; `recorded`, if given, keeps its value.
Option toolkitOption(const char* spelling, const char* valueName, std::string* recorded = nullptr);

// Reads argv[1..argc) against `options`, leaving the toolkit's in argv (argc adjusted); on a bad
// option or value returns false and a one-line reason in `error`, naming the word at fault.
bool readOptions(const std::vector<Option>& options, int& argc, char** argv, std::string& error);

// The option lines of --help: "  --name VALUE  help (range; default)", aligned and wrapped.
std::string describeOptions(const std::vector<Option>& options);
