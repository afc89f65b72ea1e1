#pragma once

// A text's code units as the parsers of numbers and dates read them: UTF-8 bytes
// and UTF-16 units alike, never sign-extended.
namespace CodeUnits {

inline unsigned unit(char c)
{
    return static_cast<unsigned char>(c);
}
inline unsigned unit(char16_t c)
{
    return c;
}
// An int, so a reader's -1 for the end of the text is no digit.
inline bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

} // namespace CodeUnits
