// Scenarios of wsprintfA with the formats ZelmoSound builds names and lines with: two-digit
// numbers with leading zeros ("jelly%02d.wav", "%s%02d.wav"), wider zero-padded fields, plain
// numbers and strings, and what the formats do at their edges (negative numbers, numbers longer
// than the field, left alignment, a string cut by its precision).
#include "probe.h"

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

constexpr probe::Scenario Scenarios[] = {
    {"numbers", Numbers},
};

} // namespace

extern const probe::Area formatArea = {"format", Scenarios, std::size(Scenarios)};
