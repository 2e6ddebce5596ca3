// The simulated wsprintfA: user32's formatting of the conversions ZelmoSound uses, checked
// against Wine by the conformance probe's format scenario. A conversion is %, the flags - (left
// alignment), 0 (zeros in front, after the sign) and # (0x before hexadecimal), a width, a
// precision (the most characters of a string, the fewest digits of a number), the size l or h,
// and one of d i u x X c s %. The buffer is taken to hold 1024 characters with the terminator:
// output is cut at 1023 characters, and output that fills them is answered 1024, as Wine's
// user32 answers. Anything else the format asks for is refused loudly, as it is not simulated.
#include "internal.h"

#include <cstdarg>
#include <cstring>

namespace
{

constexpr size_t BufferSize = 1024;

struct Spec {
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

Spec Parse(const char *&at)
{
    Spec spec;
    for (;; ++at) {
        if (*at == '-')
            spec.left = true;
        else if (*at == '0')
            spec.zeros = true;
        else if (*at == '#')
            spec.prefix = true;
        else
            break;
    }
    spec.width = Number(at);
    if (*at == '.') {
        ++at;
        spec.precision = static_cast<int>(Number(at));
    }
    if (*at == 'l' || *at == 'h') spec.wide = *at++ == 'l';
    spec.type = *at;
    if (*at) ++at;
    return spec;
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
std::string LayOut(const Spec &spec, const std::string &sign, std::string digits)
{
    if (spec.precision >= 0 && digits.size() < static_cast<size_t>(spec.precision))
        digits.insert(0, static_cast<size_t>(spec.precision) - digits.size(), '0');
    size_t length = sign.size() + digits.size();
    if (length >= spec.width) return sign + digits;
    size_t pad = spec.width - length;
    if (spec.left) return sign + digits + std::string(pad, ' ');
    if (spec.zeros) return sign + std::string(pad, '0') + digits;
    return std::string(pad, ' ') + sign + digits;
}

std::string Padded(const Spec &spec, const std::string &text)
{
    if (text.size() >= spec.width) return text;
    std::string pad(spec.width - text.size(), spec.zeros && !spec.left ? '0' : ' ');
    return spec.left ? text + pad : pad + text;
}

} // namespace

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out;
    for (const char *at = format; *at && out.size() < BufferSize;) {
        if (*at != '%') {
            out += *at++;
            continue;
        }
        ++at;
        Spec spec = Parse(at);
        switch (spec.type) {
        case '%':
            out += '%';
            break;
        case 'c':
            out += Padded(spec, std::string(1, static_cast<char>(va_arg(args, int))));
            break;
        case 's': {
            const char *text = va_arg(args, const char *);
            std::string shown = text ? text : "(null)";
            if (spec.precision >= 0 && shown.size() > static_cast<size_t>(spec.precision))
                shown.resize(static_cast<size_t>(spec.precision));
            out += Padded(spec, shown);
            break;
        }
        case 'd':
        case 'i': {
            long long value = spec.wide ? va_arg(args, long) : va_arg(args, int);
            unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                     : static_cast<unsigned long long>(value);
            out += LayOut(spec, value < 0 ? "-" : "", Digits(magnitude, 10, false));
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned long long value =
                spec.wide ? va_arg(args, unsigned long) : va_arg(args, unsigned int);
            if (spec.type == 'u') {
                out += LayOut(spec, "", Digits(value, 10, false));
            } else {
                bool upper = spec.type == 'X';
                std::string prefix = spec.prefix && value ? (upper ? "0X" : "0x") : "";
                out += LayOut(spec, prefix, Digits(value, 16, upper));
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
