// A fuzzer's bytes as an argument vector: arguments separated by NUL bytes, as
// in a real argv, after the program's name.
#ifndef TARVELIMUNDE_FUZZ_ARGUMENTS_H
#define TARVELIMUNDE_FUZZ_ARGUMENTS_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct FuzzArguments {
    std::vector<std::string> strings;
    std::vector<const char*> argv;
};

inline void
SplitArguments(const char* program, const uint8_t* data, size_t size, FuzzArguments* arguments)
{
    arguments->strings = {program, std::string()};
    for (size_t i = 0; i < size; i++) {
        if (data[i] == 0)
            arguments->strings.push_back(std::string());
        else
            arguments->strings.back() += (char)data[i];
    }
    for (const std::string& argument : arguments->strings)
        arguments->argv.push_back(argument.c_str());
}

#endif
