// The command line of orlex-info: long options with their value after a space or
// '=', single-letter options that may be run together ("-hv"), "--" before file
// names that start with a dash, and a help text laid out in two columns.
#pragma once

#include <string>
#include <vector>

namespace orlex::info {

struct TOptionSpec {
    std::vector<std::string> Names;  // without dashes; one letter for a short name: {"h", "help"}
    std::string Description;
    std::string ValueName;  // empty for a switch
};

class TOptionParser {
public:
    void Add(TOptionSpec option);

    // Parses args, the program's name first. False on an unknown option, a missing
    // value or a value given to a switch: ErrorText() then says which.
    bool Parse(const std::vector<std::string>& args);
    const std::string& ErrorText() const { return Error_; }

    // Whether the option of this name (any of its names) was given.
    bool IsSet(const std::string& name) const;
    // The value it was last given; empty when none.
    std::string Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return Positional_; }

    // "Usage: PROGRAM [options] ARGUMENT", the description, the options and the
    // argument, descriptions wrapped to fit 79 columns.
    std::string HelpText(const std::string& program, const std::string& description,
                         const std::string& argument, const std::string& argumentDescription) const;

private:
    int Find(const std::string& name) const;  // the option's index, or -1
    bool Register(const std::string& name);   // false for an unknown name
    bool TakeValue(const std::string& name, const std::string& argument, std::size_t& i,
                   const std::vector<std::string>& args);

    std::vector<TOptionSpec> Options_;
    std::vector<std::vector<std::string>> Values_;  // by option
    std::vector<bool> Set_;                         // by option
    std::vector<std::string> Positional_;
    std::vector<std::string> Unknown_;
    std::string Error_;
};

}  // namespace orlex::info
