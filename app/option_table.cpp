// Command-line options as one table, read by getopt_long_only; --help is written from it.
#include "app/option_table.h"

#include <getopt.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {
constexpr int kFirstCode = 1000;         // getopt's code for a row: kFirstCode + its index
constexpr std::size_t kHelpColumn = 22;  // where the help text starts on an option's line
constexpr std::size_t kLineWidth = 79;   // columns of --help
}  // namespace

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string withRange(const char* help, double low, double high, const std::string& byDefault) {
    return std::string(help) + " (" + numberText(low) + " to " + numberText(high) + "; default " +
           byDefault + ")";
}

std::string withChoices(const char* help, const std::vector<const char*>& words, int chosen) {
    std::string text = std::string(help) + " (";
    for (std::size_t n = 0; n < words.size(); ++n)
        text += (n == 0 ? "" : n + 1 == words.size() ? " or " : ", ") + std::string(words[n]);
    return text + "; default " + words.at(static_cast<std::size_t>(chosen)) + ")";
}

Option sizeOption(const char* name, int& width, int& height, int low, int high, const char* help) {
    const std::string byDefault = numberText(width) + "x" + numberText(height);
    return {name, "WxH", withRange(help, low, high, byDefault), [&, low, high](const char* v) {
                const char* x = std::strchr(v, 'x');
                return x && readNumber(std::string(v, x).c_str(), low, high, width) &&
                       readNumber(x + 1, low, high, height);
            }};
}

Option toolkitOption(const char* spelling, const char* valueName, std::string* recorded) {
    Option row{spelling + 1, valueName, "",
               [recorded](const char* v) { return !recorded || (recorded->assign(v), true); }};
    row.passedOn = spelling;
    return row;
}

bool readOptions(const std::vector<Option>& options, int& argc, char** argv, std::string& error) {
    std::vector<option> table;
    for (const Option& row : options)
        table.push_back({row.name, row.valueName ? required_argument : no_argument, nullptr,
                         kFirstCode + static_cast<int>(table.size())});
    table.push_back({nullptr, 0, nullptr, 0});
    std::vector<char*> kept = {argv[0]};
    const auto refuse = [&error](const std::string& reason) { return error = reason, false; };
    opterr = 0;  // the complaint is ours, on one line
    optind = 0;  // a fresh start, also for a second reading
    for (int code = 0; (code = getopt_long_only(argc, argv, "+:", table.data(), nullptr)) != -1;) {
        const std::string word = argv[optind - 1];
        if (code == '?' || code == ':')
            return refuse(code == ':' ? word + " needs a value" : "unknown option '" + word + "'");
        const Option& row = options[static_cast<std::size_t>(code - kFirstCode)];
        if (!row.apply(optarg))
            return refuse("bad value for --" + std::string(row.name) + ": '" + optarg + "'");
        if (row.passedOn)  // the toolkit knows one spelling; it reorders argv, never writes it
            kept.push_back(const_cast<char*>(row.passedOn));
        if (row.passedOn && optarg)
            kept.push_back(optarg);
        if (row.endsReading)
            return true;
    }
    if (optind < argc)  // a word that is no option, or one after "--"
        return refuse("unknown option '" + std::string(argv[optind]) + "'");
    std::copy(kept.begin(), kept.end(), argv);
    argc = static_cast<int>(kept.size());
    argv[argc] = nullptr;
    return true;
}

// Each row: "  --name VALUE", then the help from its column on, wrapped.
std::string describeOptions(const std::vector<Option>& options) {
    std::string text;
    for (const Option& row : options) {
        if (row.help.empty())
            continue;
        std::string line = "  --" + std::string(row.name);
        if (row.valueName)
            line += " " + std::string(row.valueName);
        if (line.size() + 2 > kHelpColumn) {
            text += line + "\n";
            line.clear();
        }
        line.resize(kHelpColumn, ' ');
        std::istringstream words(row.help);
        for (std::string word; words >> word;) {
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
