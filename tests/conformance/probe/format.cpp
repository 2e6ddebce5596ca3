// Scenarios of wsprintfA with the formats ZelmoSound builds names and lines with: two-digit
// numbers with leading zeros ("jelly%02d.wav", "%s%02d.wav"), wider zero-padded fields, plain
// numbers and strings, and what the formats do at their edges (negative numbers, numbers longer
// than the field, left alignment, a string cut by its precision).
#include "tests/conformance/probe/probe.h"

#include <cstring>
#include <iterator>

namespace
{

template <typename... Args> void Format(const char *format, Args... args)
{
    char buffer[1025];
    int length = wsprintfA(buffer, format, args...);
    probe::Trace(std::string("wsprintfA \"") + format + "\" -> " + std::to_string(length) + " \"" +
                 buffer + "\"");
}

void Numbers()
{
    for (int n = 1; n <= 6; ++n)
        Format("jelly%02d.wav", n);
    Format("%s%02d.wav", "bird", 0);
    Format("%s%02d.wav", "bird", 10);
    Format("%s%02d.wav", "crickt", 123);
    Format("%s%s%s%02d.wav", "C:", "\\Zelmo\\", "wave", 7);
    Format("%02d", -5);
    Format("%05d", 812);
    Format("%04d", -33);
    Format("JELLY%02d_AGE__=%05d", 1, 99999);
    Format("%d|%u|%i", -2147483647 - 1, 4000000000u, 42);
    Format("%x|%X|%04x", 255, 48879, 10);
    Format("%-4d|%4d|", 7, 7);
    Format("%c%%%c", 'A', 'z');
    Format("%.3s|%5s|%-5s|", "abcdef", "ab", "ab");
    Format("%ld|%lu", 123456L, 654321UL);
    // UTF-8 text around the conversions passes through byte for byte.
    Format("指定のファイルは %s%02d.wav として登録されました。", "bird", 3);
}

// What is formatted stops at the limit of 1024 characters the buffer is meant to hold.
void Overflow()
{
    for (size_t characters : {1022, 1023, 1024, 2000}) {
        char buffer[2048];
        std::memset(buffer, 'x', sizeof buffer);
        std::string half(characters / 2, 'a'), rest(characters - characters / 2, 'b');
        int length = wsprintfA(buffer, "%s%s", half.c_str(), rest.c_str());
        probe::Trace("wsprintfA " + std::to_string(characters) + " characters -> " +
                     std::to_string(length) + ", " + std::to_string(std::strlen(buffer)) +
                     " stored");
    }
    char buffer[2048];
    std::string plain(1100, 'c');
    int length = wsprintfA(buffer, plain.c_str());
    probe::Trace("wsprintfA 1100 characters of format -> " + std::to_string(length) + ", " +
                 std::to_string(std::strlen(buffer)) + " stored");
}

constexpr probe::Scenario Scenarios[] = {
    {"numbers", Numbers},
    {"overflow", Overflow},
};

} // namespace

extern const probe::Area formatArea = {"format", Scenarios, std::size(Scenarios)};
