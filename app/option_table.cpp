// Command-line options as one table, read by getopt_long_only; --help is written from it.
#include "app/option_table.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kFirstCode = 1000;         // getopt codes of our options: kFirstCode + index
constexpr int kFirstPassedOn = 100000;   // and of the toolkit's: kFirstPassedOn + index
constexpr std::size_t kHelpColumn = 22;  // where the help text starts on an option's line
constexpr std::size_t kLineWidth = 79;   // columns of --help

std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while ((start = text.find_first_not_of(" \n", start)) != std::string::npos) {
        const std::size_t end = std::min(text.find_first_of(" \n", start), text.size());
        words.push_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string withRange(const char* help, double low, double high, double start) {
    return std::string(help) + " (" + number(low) + " to " + number(high) + "; default " +
           number(start) + ")";
}

std::string wordList(const std::vector<const char*>& words) {
    std::string list;
    for (std::size_t n = 0; n < words.size(); ++n)
        list += (n == 0 ? "" : n + 1 == words.size() ? " or " : ", ") + std::string(words[n]);
    return list;
}

std::vector<option> getoptTable(const std::vector<Option>& options,
                                const std::vector<PassedOnOption>& passedOn) {
    std::vector<option> table;
    for (std::size_t n = 0; n < options.size(); ++n)
        table.push_back({options[n].name, options[n].valueName ? required_argument : no_argument,
                         nullptr, kFirstCode + static_cast<int>(n)});
    for (std::size_t n = 0; n < passedOn.size(); ++n)
        table.push_back({passedOn[n].spelling + 1,
                         passedOn[n].takesValue ? required_argument : no_argument, nullptr,
                         kFirstPassedOn + static_cast<int>(n)});
    table.push_back({nullptr, 0, nullptr, 0});
    return table;
}

// The word as typed, without a value joined by '='.
std::string typed(const char* word) {
    const char* equals = std::strchr(word, '=');
    return equals ? std::string(word, static_cast<std::size_t>(equals - word)) : word;
}
}  // namespace

bool readWhole(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= low && value <= high;
}

bool readReal(const char* text, double low, double high, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= low && value <= high;  // NaN fails too
}

Option flagOption(const char* name, int& target, int setTo, const char* help) {
    return {name, nullptr, help, [&target, setTo](const char*) { return target = setTo, true; }};
}

Option wholeOption(const char* name, const char* valueName, int& target, int low, int high,
                   const char* help) {
    return {name, valueName, withRange(help, low, high, target),
            [&target, low, high](const char* v) {
                long value = 0;
                return readWhole(v, low, high, value) && (target = static_cast<int>(value), true);
            }};
}

Option realOption(const char* name, const char* valueName, float& target, double low, double high,
                  const char* help) {
    return {name, valueName, withRange(help, low, high, target),
            [&target, low, high](const char* v) {
                double value = 0;
                return readReal(v, low, high, value) && (target = static_cast<float>(value), true);
            }};
}

Option choiceOption(const char* name, int& target, std::vector<const char*> words,
                    const char* help) {
    std::string text = std::string(help) + " (" + wordList(words) + "; default " +
                       words.at(static_cast<std::size_t>(target)) + ")";
    return {name, "WORD", text, [&target, words](const char* v) {
                for (std::size_t n = 0; n < words.size(); ++n)
                    if (std::strcmp(v, words[n]) == 0)
                        return target = static_cast<int>(n), true;
                return false;
            }};
}

Option textOption(const char* name, const char* valueName, std::string& target, const char* help) {
    return {name, valueName, help, [&target](const char* v) { return target = v, *v != '\0'; }};
}

Option stopOption(const char* name, int& target, const char* help) {
    return {name, nullptr, help, [&target](const char*) { return target = 1, true; }, true};
}

bool readOptions(const std::vector<Option>& options, const std::vector<PassedOnOption>& passedOn,
                 int& argc, char** argv, std::string& error) {
    const std::vector<option> table = getoptTable(options, passedOn);
    std::vector<char*> kept = {argv[0]};
    opterr = 0;  // the complaint is ours, on one line
    optind = 0;  // a fresh start, also for a second reading
    int code = 0;
    while ((code = getopt_long_only(argc, argv, "+:", table.data(), nullptr)) != -1) {
        const char* word = argv[optind - 1];
        if (code == '?') {
            error = "unknown option '" + std::string(word) + "'";
            return false;
        }
        if (code == ':') {
            error = typed(word) + " needs a value";
            return false;
        }
        if (code >= kFirstPassedOn) {
            const PassedOnOption& passed =
                passedOn[static_cast<std::size_t>(code - kFirstPassedOn)];
            // The toolkit knows one spelling only; it reorders argv but never writes the words.
            kept.push_back(const_cast<char*>(passed.spelling));
            if (passed.takesValue)
                kept.push_back(optarg);
            continue;
        }
        const Option& chosen = options[static_cast<std::size_t>(code - kFirstCode)];
        if (!chosen.apply(optarg)) {
            error = "bad value for --" + std::string(chosen.name) + ": '" + optarg + "'";
            return false;
        }
        if (chosen.endsReading)
            return true;
    }
    if (optind < argc) {
        error = "unknown option '" + std::string(argv[optind]) + "'";
        return false;
    }
    for (std::size_t n = 0; n < kept.size(); ++n)
        argv[n] = kept[n];
    argc = static_cast<int>(kept.size());
    argv[argc] = nullptr;
    return true;
}

std::string describeOptions(const std::vector<Option>& options) {
    std::string text;
    for (const Option& option : options) {
        std::string line = "  --" + std::string(option.name);
        if (option.valueName)
            line += " " + std::string(option.valueName);
        if (line.size() + 2 > kHelpColumn) {
            text += line + "\n";
            line.clear();
        }
        line.resize(kHelpColumn, ' ');
        for (const std::string& word : wordsOf(option.help)) {
            if (line.size() > kHelpColumn && line.size() + 1 + word.size() > kLineWidth) {
                text += line + "\n";
                line = std::string(kHelpColumn, ' ');
            }
            line += (line.size() > kHelpColumn ? " " : "") + word;
        }
        text += line + "\n";
    }
    return text;
}
