// ASCII case folding: Windows names (files, window classes, fonts) and every name the engine
// looks up match without regard to the case of A to Z; every other byte, GBK included, stays.
#pragma once

#include <string>

namespace platform {

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline std::string AsciiLower(std::string s)
{
    for (char& c : s)
        c = AsciiLower(c);
    return s;
}

}  // namespace platform
