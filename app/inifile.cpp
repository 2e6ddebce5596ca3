// Reading and writing the settings file.
//
// The reader follows the file's fixed columns: "IDC_SOUNDnn=v" switches group nn-1 on or off,
// "IDCB_SOUNDnn=v" sets its interval class (and restarts its interval), "IDC_TSIGNAL=v" and
// "IDCB_TSIGNAL=v" set the time signal. The value is the one character in its column minus
// '0'. Lines are taken in pieces of at most 127 characters, as a 128-byte line buffer reads
// them, and any other line is ignored.
#include "inifile.h"

#include "main.h"
#include "path.h"
#include "platform.h"
#include "sound.h"

#include <cstdio>
#include <cstring>

namespace
{

constexpr int LinePiece = 127;

// Reads a text file the way a text-mode stream does: CR LF becomes LF, and a Ctrl-Z ends the
// file. Each call yields the next piece of at most LinePiece characters, ending after a LF.
class TextReader
{
  public:
    explicit TextReader(HANDLE file) : file_(file) {}

    bool NextPiece(char (&piece)[LinePiece + 1])
    {
        std::memset(piece, 0, sizeof piece);
        int length = 0;
        while (length < LinePiece) {
            int c = Next();
            if (c < 0) break;
            piece[length++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        return length > 0;
    }

  private:
    int Next()
    {
        int c = Raw();
        if (c == '\r') {
            int following = Raw();
            if (following == '\n') return '\n';
            pushedBack_ = following; // a lone CR stays as it is
        }
        return c;
    }

    int Raw()
    {
        if (pushedBack_ != NoByte) {
            int c = pushedBack_;
            pushedBack_ = NoByte;
            return c;
        }
        if (ended_) return -1;
        if (pos_ >= size_) {
            DWORD read = 0;
            if (!ReadFile(file_, buffer_, sizeof buffer_, &read, nullptr) || read == 0) {
                ended_ = true;
                return -1;
            }
            pos_ = 0;
            size_ = static_cast<int>(read);
        }
        unsigned char c = static_cast<unsigned char>(buffer_[pos_++]);
        if (c == 0x1A) {
            ended_ = true;
            return -1;
        }
        return c;
    }

    static constexpr int NoByte = -2;
    HANDLE file_;
    char buffer_[512];
    int pos_ = 0;
    int size_ = 0;
    int pushedBack_ = NoByte;
    bool ended_ = false;
};

// The group number in two columns, read as a number: leading blanks skipped, an optional
// sign, digits up to the first non-digit.
int ColumnNumber(const char *columns)
{
    char field[3] = {columns[0], columns[1], '\0'};
    const char *p = field;
    while (*p == ' ' || *p == '\t')
        ++p;
    int sign = 1;
    if (*p == '+' || *p == '-') sign = *p++ == '-' ? -1 : 1;
    int value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10 + (*p++ - '0');
    return sign * value;
}

// A group number outside 01..20 names no group and changes nothing.
SoundGroup *GroupOf(const char *columns)
{
    int number = ColumnNumber(columns);
    return number >= 1 && number <= InCount ? &In[number - 1] : nullptr;
}

int32_t ColumnValue(char c)
{
    return static_cast<int32_t>(static_cast<unsigned char>(c)) - '0';
}

void ApplyLine(const char (&line)[LinePiece + 1])
{
    // Columns beyond the end of a short line read as the zero bytes of the cleared buffer.
    if (std::strncmp(line, "IDC_SOUND", 9) == 0) {
        if (SoundGroup *group = GroupOf(line + 9)) group->Enabled = ColumnValue(line[12]);
    } else if (std::strncmp(line, "IDCB_SOUND", 10) == 0) {
        if (SoundGroup *group = GroupOf(line + 10)) {
            group->IntervalClass = ColumnValue(line[13]);
            group->Target = 0;
            group->Elapsed = 0;
        }
    } else if (std::strncmp(line, "IDC_TSIGNAL=", 12) == 0) {
        Tp[0] = ColumnValue(line[12]);
    } else if (std::strncmp(line, "IDCB_TSIGNAL=", 13) == 0) {
        Tp[1] = ColumnValue(line[13]);
    }
}

bool WriteAll(HANDLE file, const char *text, size_t length)
{
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) || written == 0)
            return false;
        text += written;
        length -= written;
    }
    return true;
}

} // namespace

std::string IniFileName()
{
    PathParts parts = SplitPath(ProgramFileName());
    return parts.drive + parts.directory + parts.name + ".INI";
}

void ReadIniFile()
{
    // Shared for reading and writing, as the C runtime's text stream opens a file: a settings
    // file that an editor holds open is still read, not replaced by the first-start defaults.
    HANDLE file =
        CreateFileA(IniFileName().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // First start: only the insects play, every 3 to 6 seconds.
        In[0].Enabled = 1;
        In[0].IntervalClass = 0;
        return;
    }
    TextReader reader(file);
    char piece[LinePiece + 1];
    while (reader.NextPiece(piece))
        ApplyLine(piece);
    CloseHandle(file);
}

void WriteIniFile()
{
    // 42 lines; a value may take up to 11 characters.
    char text[42 * 32];
    size_t length = 0;
    auto append = [&](int count) { length += static_cast<size_t>(count); };
    for (int i = 0; i < InCount; ++i) {
        append(std::snprintf(text + length, sizeof text - length, "IDC_SOUND%02d=%d\r\n", i + 1,
                             static_cast<int>(In[i].Enabled)));
        append(std::snprintf(text + length, sizeof text - length, "IDCB_SOUND%02d=%d\r\n", i + 1,
                             static_cast<int>(In[i].IntervalClass)));
    }
    append(std::snprintf(text + length, sizeof text - length, "IDC_TSIGNAL=%d\r\n",
                         static_cast<int>(Tp[0])));
    append(std::snprintf(text + length, sizeof text - length, "IDCB_TSIGNAL=%d\r\n",
                         static_cast<int>(Tp[1])));

    // The new settings go to a file beside the old one, which they replace only once complete.
    std::string target = IniFileName();
    std::string temporary = target + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    bool complete = WriteAll(file, text, length) && FlushFileBuffers(file);
    CloseHandle(file);
    if (!complete || !MoveFileExA(temporary.c_str(), target.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileA(temporary.c_str());
}
