// The program's own text files (the settings file and the jelly file): reading them the way a
// text-mode stream with a 128-byte line buffer does, converting fixed columns to numbers, and
// writing a file anew so that a failure at any step never leaves a partial file.
#pragma once

#include "platform.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int LinePiece = 127;

// Reads a text file the way a text-mode stream does: CR LF becomes LF, and a Ctrl-Z ends the
// file. Each call yields the next piece of at most LinePiece characters, ending after a LF; the
// rest of the buffer is zero, so columns beyond the end of a short line read as zero bytes.
class TextReader
{
  public:
    explicit TextReader(HANDLE file) : file_(file) {}
    bool NextPiece(char (&piece)[LinePiece + 1]);

  private:
    int Next();
    int Raw();

    static constexpr int NoByte = -2;
    HANDLE file_;
    char buffer_[512];
    int pos_ = 0;
    int size_ = 0;
    int pushedBack_ = NoByte;
    bool ended_ = false;
};

// What a read found: the file, read to its end; no file at all; or a file that is there but
// could not be opened (another program holds it without sharing, no permission, ...).
enum class TextFileRead { Read, Missing, Refused };

// Opens the file for reading and hands every piece to `apply`, in order. When the file cannot
// be opened nothing is called, and the answer tells a missing file from a refused one.
TextFileRead ReadTextLines(const std::string &path,
                           void (*apply)(const char (&piece)[LinePiece + 1]));

// The value of a one-character column: the character minus '0', without further checks.
inline int32_t ColumnValue(char c)
{
    return static_cast<int32_t>(static_cast<unsigned char>(c)) - '0';
}

// The number in `width` columns as the C runtime's atoi reads it: leading blanks skipped, an
// optional sign, then the digits up to the first other character; 0 without digits.
int ColumnNumber(const char *columns, int width);

// Formatted lines collected in a caller's fixed buffer, as a text file's contents before it is
// written. Text that does not fit is cut off; nothing is ever written past the buffer.
class TextBuffer
{
  public:
    TextBuffer(char *data, size_t capacity) : data_(data), capacity_(capacity) {}
    void Append(const char *format, ...);
    const char *Data() const { return data_; }
    size_t Length() const { return length_; }

  private:
    char *data_;
    size_t capacity_;
    size_t length_ = 0;
};

// A file written anew beside the one it replaces ("NAME.new"), which takes the old one's place
// only once it is complete and flushed. Until Commit succeeds the old file stays as it was;
// whatever fails, no partial file and no leftover is left behind.
class FileReplacement
{
  public:
    // Creates the new file; IsOpen tells whether that worked.
    explicit FileReplacement(const std::string &target);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    // Writes the whole text, flushes it and moves the new file over the target. Returns false
    // (and removes the new file) when any step fails.
    bool Commit(const char *text, size_t length);

  private:
    void Discard();

    std::string target_;
    std::string temporary_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};
