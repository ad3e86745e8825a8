// Command-line options as one table: each entry names an option, the value it takes and what
// it sets. The program, the capture tool and the bench each list theirs; one reader, built on
// the C library's getopt_long_only, reads argv against the list, and --help is written from it.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Option {
    const char* name;       // without dashes; "-name", "--name" and "--name=value" all work
    const char* valueName;  // the value as --help shows it ("T", "DIR"); null: takes none
    std::string help;       // one paragraph, wrapped by --help; ranges and defaults are appended
    std::function<bool(const char* value)> apply;  // false: the value is bad
    bool endsReading = false;  // --help, --version: the rest of the line is not read
};

// The builders. Each sets `target`, whose value when the table is built is shown as the
// default; the value must lie in [low, high] (a number must be all of the word).
Option flagOption(const char* name, int& target, int setTo, const char* help);
Option wholeOption(const char* name, const char* valueName, int& target, int low, int high,
                   const char* help);
Option realOption(const char* name, const char* valueName, float& target, double low, double high,
                  const char* help);
Option choiceOption(const char* name, int& target, std::vector<const char*> words,
                    const char* help);
Option textOption(const char* name, const char* valueName, std::string& target,
                  const char* help);                                 // any word but the empty one
Option stopOption(const char* name, int& target, const char* help);  // sets 1, ends reading

// Reads a whole number, all of `text`, within [low, high].
bool readWhole(const char* text, long low, long high, long& value);
bool readReal(const char* text, double low, double high, double& value);

// The toolkit's own options: not ours, kept in argv for it, spelt as it knows them, with
// their value as the next word.
struct PassedOnOption {
    const char* spelling;  // "-display"
    bool takesValue;
};

// Reads argv[1..argc) against `options` and `passedOn`; the passed-on options are left in argv
// (argc adjusted) for the toolkit. On a bad option or value returns false and a one-line
// reason in `error`, naming the word at fault.
bool readOptions(const std::vector<Option>& options, const std::vector<PassedOnOption>& passedOn,
                 int& argc, char** argv, std::string& error);

// The option lines of --help: "  --name VALUE  help (range; default)", aligned.
std::string describeOptions(const std::vector<Option>& options);
