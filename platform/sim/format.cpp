// The simulated wsprintfA: user32's formatting of the conversions ZelmoSound uses, checked
// against Wine by the conformance probe's format scenario. A conversion is %, the flags - (left
// alignment), 0 (zeros in front, after the sign) and # (0x before hexadecimal), a width, a
// precision (the most characters of a string, the fewest digits of a number), the size l or h,
// and one of d i u x X c s %. The buffer is taken to hold 1024 characters with the terminator:
// output is cut at 1023 characters, and output that fills them is answered 1024, as Wine's
// user32 answers. Anything else the format asks for is refused loudly, as it is not simulated.
#include "platform/sim/internal.h"

#include <cstdarg>
#include <cstring>

namespace
{

constexpr size_t BufferSize = 1024;

struct Conversion {
    bool left = false;
    bool zeros = false;
    bool prefix = false;
    size_t width = 0;
    int precision = -1;
    bool wide = false; // the l size: a long
    char type = 0;
};

size_t Number(const char *&at)
{
    size_t value = 0;
    while (*at >= '0' && *at <= '9')
        value = value * 10 + static_cast<size_t>(*at++ - '0');
    return value;
}

Conversion Parse(const char *&at)
{
    Conversion conversion;
    for (;; ++at) {
        if (*at == '-')
            conversion.left = true;
        else if (*at == '0')
            conversion.zeros = true;
        else if (*at == '#')
            conversion.prefix = true;
        else
            break;
    }
    conversion.width = Number(at);
    if (*at == '.') {
        ++at;
        conversion.precision = static_cast<int>(Number(at));
    }
    if (*at == 'l' || *at == 'h') conversion.wide = *at++ == 'l';
    conversion.type = *at;
    if (*at) ++at;
    return conversion;
}

std::string Digits(unsigned long long value, unsigned base, bool upper)
{
    const char *digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % base]);
        value /= base;
    } while (value);
    return text;
}

// The number's text with its sign or prefix and padding, as wsprintf lays it out.
std::string LayOut(const Conversion &conversion, const std::string &sign, std::string digits)
{
    if (conversion.precision >= 0 && digits.size() < static_cast<size_t>(conversion.precision))
        digits.insert(0, static_cast<size_t>(conversion.precision) - digits.size(), '0');
    size_t length = sign.size() + digits.size();
    if (length >= conversion.width) return sign + digits;
    size_t pad = conversion.width - length;
    if (conversion.left) return sign + digits + std::string(pad, ' ');
    if (conversion.zeros) return sign + std::string(pad, '0') + digits;
    return std::string(pad, ' ') + sign + digits;
}

std::string Padded(const Conversion &conversion, const std::string &text)
{
    if (text.size() >= conversion.width) return text;
    std::string pad(conversion.width - text.size(),
                    conversion.zeros && !conversion.left ? '0' : ' ');
    return conversion.left ? text + pad : pad + text;
}

} // namespace

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    sim::PlatformCode platform;
    va_list args;
    va_start(args, format);
    std::string out;
    for (const char *at = format; *at && out.size() < BufferSize;) {
        if (*at != '%') {
            out += *at++;
            continue;
        }
        ++at;
        Conversion conversion = Parse(at);
        switch (conversion.type) {
        case '%':
            out += '%';
            break;
        case 'c':
            out += Padded(conversion, std::string(1, static_cast<char>(va_arg(args, int))));
            break;
        case 's': {
            const char *text = va_arg(args, const char *);
            std::string shown = text ? text : "(null)";
            if (conversion.precision >= 0 &&
                shown.size() > static_cast<size_t>(conversion.precision))
                shown.resize(static_cast<size_t>(conversion.precision));
            out += Padded(conversion, shown);
            break;
        }
        case 'd':
        case 'i': {
            long long value = conversion.wide ? va_arg(args, long) : va_arg(args, int);
            unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                     : static_cast<unsigned long long>(value);
            out += LayOut(conversion, value < 0 ? "-" : "", Digits(magnitude, 10, false));
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned long long value =
                conversion.wide ? va_arg(args, unsigned long) : va_arg(args, unsigned int);
            if (conversion.type == 'u') {
                out += LayOut(conversion, "", Digits(value, 10, false));
            } else {
                bool upper = conversion.type == 'X';
                std::string prefix = conversion.prefix && value ? (upper ? "0X" : "0x") : "";
                out += LayOut(conversion, prefix, Digits(value, 16, upper));
            }
            break;
        }
        default:
            va_end(args);
            throw sim::SimulationError(std::string("wsprintfA: the conversion in \"") + format +
                                       "\" is not simulated");
        }
    }
    va_end(args);
    if (out.size() >= BufferSize - 1) {
        std::memcpy(buffer, out.c_str(), BufferSize - 1);
        buffer[BufferSize - 1] = '\0';
        return static_cast<int>(BufferSize);
    }
    std::memcpy(buffer, out.c_str(), out.size() + 1);
    return static_cast<int>(out.size());
}
