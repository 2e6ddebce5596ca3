// What the end-to-end tests read of the files a program leaves under Wine: a shortcut's fields
// from the Shell Link binary format, a path as a Windows program under Wine sees it, and the
// files of a name anywhere under a folder.
#include "e2e/harness.h"

#include <algorithm>
#include <cstdint>

namespace e2e
{

namespace fs = std::filesystem;

namespace
{

// Little-endian reads with bounds checks over the bytes of a file.
class ByteReader
{
  public:
    explicit ByteReader(const std::string &bytes) : bytes_(bytes) {}

    bool Has(size_t offset, size_t count) const
    {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    uint32_t Number(size_t offset, size_t count) const
    {
        uint32_t value = 0;
        for (size_t i = count; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(bytes_[offset + i]);
        return value;
    }
    uint16_t U16(size_t offset) const { return static_cast<uint16_t>(Number(offset, 2)); }
    uint32_t U32(size_t offset) const { return Number(offset, 4); }

    // UTF-16LE code units from offset: count of them, or up to a zero unit when count is npos.
    std::optional<std::u16string> Utf16(size_t offset, size_t count, size_t limit) const
    {
        std::u16string text;
        for (size_t at = offset; text.size() != count; at += 2) {
            if (at + 2 > limit || !Has(at, 2)) return std::nullopt;
            char16_t unit = U16(at);
            if (count == std::string::npos && unit == 0) break;
            text.push_back(unit);
        }
        return text;
    }
    // Single-byte characters up to a zero byte.
    std::optional<std::string> Narrow(size_t offset, size_t limit) const
    {
        std::string text;
        for (size_t at = offset;; ++at) {
            if (at >= limit || !Has(at, 1)) return std::nullopt;
            if (bytes_[at] == '\0') return text;
            text.push_back(bytes_[at]);
        }
    }
    std::string Bytes(size_t offset, size_t count) const { return bytes_.substr(offset, count); }

  private:
    const std::string &bytes_;
};

std::string Utf8(const std::u16string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The fixed parts of the Shell Link binary format.
constexpr uint32_t LinkHeaderSize = 0x4C;
constexpr unsigned char LinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr size_t LinkFlagsOffset = 0x14;
constexpr uint32_t HasLinkTargetIdList = 0x1;
constexpr uint32_t HasLinkInfo = 0x2;
constexpr uint32_t IsUnicode = 0x80;
// LinkInfo: its flag for a local target, and the header size from which the Unicode form of
// the local base path is present.
constexpr uint32_t VolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t LinkInfoUnicodeHeader = 0x24;

} // namespace

std::optional<ShellLink> ParseShellLink(const std::string &bytes, std::string *error)
{
    ByteReader reader(bytes);
    auto fail = [&](const std::string &why) -> std::optional<ShellLink> {
        *error = why;
        return std::nullopt;
    };
    if (!reader.Has(0, LinkHeaderSize) || reader.U32(0) != LinkHeaderSize)
        return fail("no 0x4C-byte link header");
    if (reader.Bytes(4, 16) != std::string(std::begin(LinkClsid), std::end(LinkClsid)))
        return fail("the header's class id is not the shell link's");
    ShellLink link;
    link.flags = reader.U32(LinkFlagsOffset);
    size_t at = LinkHeaderSize;
    if (link.flags & HasLinkTargetIdList) {
        if (!reader.Has(at, 2)) return fail("the item id list is cut off");
        at += 2 + reader.U16(at);
    }
    if (link.flags & HasLinkInfo) {
        if (!reader.Has(at, 28)) return fail("the LinkInfo header is cut off");
        uint32_t size = reader.U32(at);
        uint32_t headerSize = reader.U32(at + 4);
        uint32_t infoFlags = reader.U32(at + 8);
        size_t end = at + size;
        if (size < 28 || !reader.Has(at, size)) return fail("the LinkInfo size is wrong");
        if (infoFlags & VolumeIdAndLocalBasePath) {
            std::optional<std::string> narrow = reader.Narrow(at + reader.U32(at + 16), end);
            if (!narrow) return fail("the local base path runs past the LinkInfo");
            link.localBasePath = *narrow;
            if (headerSize >= LinkInfoUnicodeHeader) {
                std::optional<std::u16string> wide =
                    reader.Utf16(at + reader.U32(at + 28), std::string::npos, end);
                if (!wide) return fail("the Unicode local base path runs past the LinkInfo");
                link.localBasePath = Utf8(*wide);
            }
        }
        at = end;
    }
    // The optional strings, in the order the format keeps them.
    std::pair<uint32_t, std::string *> strings[] = {{0x04, &link.description},
                                                    {0x08, &link.relativePath},
                                                    {0x10, &link.workingDir},
                                                    {0x20, &link.arguments}};
    for (auto &[flag, text] : strings) {
        if (!(link.flags & flag)) continue;
        if (!reader.Has(at, 2)) return fail("a string's length is cut off");
        size_t count = reader.U16(at);
        at += 2;
        if (link.flags & IsUnicode) {
            std::optional<std::u16string> wide = reader.Utf16(at, count, bytes.size());
            if (!wide) return fail("a string is cut off");
            *text = Utf8(*wide);
            at += 2 * count;
        } else {
            if (!reader.Has(at, count)) return fail("a string is cut off");
            *text = reader.Bytes(at, count);
            at += count;
        }
        // Wine counts and writes each string's terminating zero; Windows leaves it out.
        while (!text->empty() && text->back() == '\0')
            text->pop_back();
    }
    return link;
}

std::string WindowsPath(const fs::path &unixPath)
{
    std::string text = "Z:" + unixPath.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::vector<fs::path> FindFilesNamed(const fs::path &root, const std::string &name)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error))
        if (it->path().filename() == name) found.push_back(it->path());
    return found;
}

} // namespace e2e
