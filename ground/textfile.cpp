// Text files of the program: line pieces as a text-mode stream reads them, column numbers, and
// the safe replacement of a file.
#include "ground/textfile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

bool TextReader::NextPiece(char (&piece)[LinePiece + 1])
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

int TextReader::Next()
{
    int c = Raw();
    if (c == '\r') {
        int following = Raw();
        if (following == '\n') return '\n';
        pushedBack_ = following; // a lone CR stays as it is
    }
    return c;
}

int TextReader::Raw()
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

TextFileRead ReadTextLines(const std::string &path,
                           void (*apply)(const char (&piece)[LinePiece + 1]))
{
    // Shared for reading and writing, as the C runtime's text stream opens a file: a file that
    // an editor holds open is still read, not taken for a missing one.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? TextFileRead::Missing
                   : TextFileRead::Refused;
    }
    TextReader reader(file);
    char piece[LinePiece + 1];
    while (reader.NextPiece(piece))
        apply(piece);
    CloseHandle(file);
    return TextFileRead::Read;
}

int ColumnNumber(const char *columns, int width)
{
    int at = 0;
    while (at < width && (columns[at] == ' ' || columns[at] == '\t'))
        ++at;
    int sign = 1;
    if (at < width && (columns[at] == '+' || columns[at] == '-'))
        sign = columns[at++] == '-' ? -1 : 1;
    // At most nine digits fit the fields read this way, so the value cannot overflow.
    int value = 0;
    while (at < width && columns[at] >= '0' && columns[at] <= '9')
        value = value * 10 + (columns[at++] - '0');
    return sign * value;
}

void TextBuffer::Append(const char *format, ...)
{
    if (length_ + 1 >= capacity_) return;
    va_list arguments;
    va_start(arguments, format);
    int count = std::vsnprintf(data_ + length_, capacity_ - length_, format, arguments);
    va_end(arguments);
    if (count > 0) length_ = std::min(length_ + static_cast<size_t>(count), capacity_ - 1);
}

FileReplacement::FileReplacement(const std::string &target)
    : target_(target), temporary_(target + ".new")
{
    file_ = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileReplacement::~FileReplacement()
{
    Discard();
}

void FileReplacement::Discard()
{
    if (!IsOpen()) return;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    (void)DeleteFileA(temporary_.c_str());
}

bool FileReplacement::Commit(const char *text, size_t length)
{
    if (!IsOpen()) return false;
    bool complete = true;
    while (complete && length > 0) {
        DWORD written = 0;
        complete =
            WriteFile(file_, text, static_cast<DWORD>(length), &written, nullptr) && written > 0;
        text += written;
        length -= written;
    }
    complete = complete && FlushFileBuffers(file_);
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (complete && MoveFileExA(temporary_.c_str(), target_.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    (void)DeleteFileA(temporary_.c_str());
    return false;
}
