// Scenarios of the file operations the program's sound files rely on: directory search with a
// group's pattern, copy that fails if the destination exists, rename, delete of a read-only file,
// a file held open by another program, file attributes, the current directory, and file names
// in Japanese under the UTF-8 manifest (the text area plays the conversions themselves).
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/workfolder.h"

#include <cstdio>
#include <iterator>

namespace
{

using probe::Shown;
using probe::Trace;
using probe::TraceResult;

// "call -> result", and " error E" when it failed: GetLastError after a success is nothing the
// program may rely on.
#define TRACE_CALL(text, call)                                                                     \
    do {                                                                                           \
        SetLastError(0);                                                                           \
        long long result_ = static_cast<long long>(call);                                          \
        TraceResult(text, result_, result_ == 0);                                                  \
    } while (0)

// A user's "read-only" and "hidden" keep the archive attribute a file has (SetFileAttributesA sets
// exactly what it is given).
constexpr DWORD ReadOnly = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD Hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;

void TraceBytes(const std::string &shown, const std::string &path)
{
    Trace("bytes " + shown + ": " + probe::FileBytes(path));
}

void TraceAttributes(const std::string &shown, const std::string &path)
{
    SetLastError(0);
    DWORD attributes = GetFileAttributesA(path.c_str());
    char line[32];
    std::snprintf(line, sizeof line, "%lx", static_cast<unsigned long>(attributes));
    Trace("GetFileAttributesA " + shown + " -> " + line + " error " +
          std::to_string(GetLastError()));
}

// A group's pattern against names that differ in letter case, names with the prefix followed by
// letters, a name with a longer extension, and names of another group; then exact names.
void FindPatterns()
{
    std::string work = probe::MakeWorkFolder();
    for (const char *name : {"Bird00.wav", "bird01.WAV", "BIRD02.Wav", "birdsong.wav", "bird.wav",
                             "bird03.wave", "birdbath.txt", "crickt00.wav", "abird00.wav"})
        (void)probe::MakeFile(work + name, name);
    (void)CreateDirectoryA((work + "birdhouse.wav").c_str(), nullptr);
    probe::TraceFind("work\\bird*.wav", work + "bird*.wav");
    probe::TraceFind("work\\BIRD*.WAV", work + "BIRD*.WAV");
    probe::TraceFind("work\\*.wav", work + "*.wav");
    probe::TraceFind("work\\bird0?.wav", work + "bird0?.wav");
    probe::TraceFind("work\\bird01.wav", work + "bird01.wav");
    probe::TraceFind("work\\BIRD09.wav", work + "BIRD09.wav");
    probe::TraceFind("work\\drop*.wav", work + "drop*.wav");
    probe::TraceFind("work\\nofolder\\*.wav", work + "nofolder\\*.wav");
    probe::TraceFind("work\\birdhouse.wav\\*", work + "birdhouse.wav\\*");
    // Relative to the current directory.
    TRACE_CALL("SetCurrentDirectoryA work", SetCurrentDirectoryA(work.c_str()));
    probe::TraceFind("crickt*.wav", "crickt*.wav");
    TRACE_CALL("SetCurrentDirectoryA probe", SetCurrentDirectoryA(probe::ProbeFolder().c_str()));
    probe::RemoveWorkFolder();
}

void CopyFailIfExists()
{
    std::string work = probe::MakeWorkFolder();
    std::string a = work + "a.wav", b = work + "b.wav";
    (void)probe::MakeFile(a, "first");
    TRACE_CALL("CopyFileA a b fail-if-exists", CopyFileA(a.c_str(), b.c_str(), TRUE));
    TraceBytes("b", b);
    (void)probe::MakeFile(a, "second");
    TRACE_CALL("CopyFileA a b fail-if-exists", CopyFileA(a.c_str(), b.c_str(), TRUE));
    TraceBytes("b", b);
    TRACE_CALL("CopyFileA A.WAV b replace", CopyFileA((work + "A.WAV").c_str(), b.c_str(), FALSE));
    TraceBytes("b", b);
    probe::TraceFind("work\\b.wav", b);
    TRACE_CALL("CopyFileA missing c",
               CopyFileA((work + "missing.wav").c_str(), (work + "c.wav").c_str(), TRUE));
    probe::TraceFind("work\\c.wav", work + "c.wav");
    TRACE_CALL("CopyFileA a nofolder",
               CopyFileA(a.c_str(), (work + "nofolder\\a.wav").c_str(), TRUE));
    // A read-only source gives a read-only copy; a read-only destination is not replaced.
    TRACE_CALL("SetFileAttributesA a read-only", SetFileAttributesA(a.c_str(), ReadOnly));
    TRACE_CALL("CopyFileA a d", CopyFileA(a.c_str(), (work + "d.wav").c_str(), TRUE));
    TraceAttributes("d", work + "d.wav");
    TRACE_CALL("CopyFileA b d replace", CopyFileA(b.c_str(), (work + "d.wav").c_str(), FALSE));
    TraceBytes("d", work + "d.wav");
    TRACE_CALL("CopyFileA a a", CopyFileA(a.c_str(), a.c_str(), FALSE));
    probe::RemoveWorkFolder();
}

void MoveOntoExisting()
{
    std::string work = probe::MakeWorkFolder();
    std::string a = work + "a.wav", b = work + "b.wav";
    (void)probe::MakeFile(a, "aaa");
    (void)probe::MakeFile(b, "bbb");
    TRACE_CALL("MoveFileA a b", MoveFileA(a.c_str(), b.c_str()));
    TraceBytes("a", a);
    TraceBytes("b", b);
    TRACE_CALL("MoveFileA a B.WAV", MoveFileA(a.c_str(), (work + "B.WAV").c_str()));
    TRACE_CALL("MoveFileExA a b replace",
               MoveFileExA(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
    TraceBytes("a", a);
    TraceBytes("b", b);
    TRACE_CALL("MoveFileA missing c", MoveFileA(a.c_str(), (work + "c.wav").c_str()));
    TRACE_CALL("MoveFileA b nofolder", MoveFileA(b.c_str(), (work + "nofolder\\b.wav").c_str()));
    // Only the letter case changes.
    TRACE_CALL("MoveFileA b B.WAV", MoveFileA(b.c_str(), (work + "B.WAV").c_str()));
    probe::TraceFind("work\\*.wav", work + "*.wav");
    // A read-only file can be renamed, and keeps its attribute; it is not replaced.
    (void)probe::MakeFile(a, "ro");
    TRACE_CALL("SetFileAttributesA a read-only", SetFileAttributesA(a.c_str(), ReadOnly));
    TRACE_CALL("MoveFileA a c", MoveFileA(a.c_str(), (work + "c.wav").c_str()));
    TraceAttributes("c", work + "c.wav");
    // Last, as Wine run by root replaces it (see exceptions.cpp).
    TRACE_CALL(
        "MoveFileExA B.WAV c replace",
        MoveFileExA((work + "B.WAV").c_str(), (work + "c.wav").c_str(), MOVEFILE_REPLACE_EXISTING));
    probe::RemoveWorkFolder();
}

void DeleteReadOnly()
{
    std::string work = probe::MakeWorkFolder();
    std::string a = work + "a.wav";
    (void)probe::MakeFile(a, "aaa");
    TRACE_CALL("SetFileAttributesA a read-only", SetFileAttributesA(a.c_str(), ReadOnly));
    TRACE_CALL("DeleteFileA a", DeleteFileA(a.c_str()));
    TraceBytes("a", a);
    TRACE_CALL("SetFileAttributesA a normal", SetFileAttributesA(a.c_str(), FILE_ATTRIBUTE_NORMAL));
    TRACE_CALL("DeleteFileA A.WAV", DeleteFileA((work + "A.WAV").c_str()));
    TraceBytes("a", a);
    TRACE_CALL("DeleteFileA a", DeleteFileA(a.c_str()));
    TRACE_CALL("DeleteFileA nofolder", DeleteFileA((work + "nofolder\\a.wav").c_str()));
    TRACE_CALL("DeleteFileA work", DeleteFileA(work.c_str()));
    // A file open without sharing deletion cannot be deleted.
    (void)probe::MakeFile(a, "open");
    HANDLE open = CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    TRACE_CALL("DeleteFileA open a", DeleteFileA(a.c_str()));
    (void)CloseHandle(open);
    TRACE_CALL("DeleteFileA a", DeleteFileA(a.c_str()));
    probe::RemoveWorkFolder();
}

void Attributes()
{
    std::string work = probe::MakeWorkFolder();
    std::string a = work + "a.wav";
    (void)probe::MakeFile(a, "aaa");
    TraceAttributes("a", a);
    TraceAttributes("work", work);
    TraceAttributes("work\\", work);
    TraceAttributes("missing", work + "missing.wav");
    TraceAttributes("nofolder\\missing", work + "nofolder\\missing.wav");
    TRACE_CALL("SetFileAttributesA a read-only", SetFileAttributesA(a.c_str(), ReadOnly));
    TraceAttributes("a", a);
    TRACE_CALL("SetFileAttributesA a normal", SetFileAttributesA(a.c_str(), FILE_ATTRIBUTE_NORMAL));
    TraceAttributes("a with none", a);
    TRACE_CALL("SetFileAttributesA a archive",
               SetFileAttributesA(a.c_str(), FILE_ATTRIBUTE_ARCHIVE));
    TraceAttributes("a", a);
    TRACE_CALL("SetFileAttributesA a hidden", SetFileAttributesA(a.c_str(), Hidden));
    TraceAttributes("a", a);
    probe::TraceFind("work\\*.wav", work + "*.wav");
    TRACE_CALL("SetFileAttributesA a hidden read-only",
               SetFileAttributesA(a.c_str(), Hidden | ReadOnly));
    TraceAttributes("a", a);
    TRACE_CALL("SetFileAttributesA missing",
               SetFileAttributesA((work + "missing.wav").c_str(), ReadOnly));
    // A read-only file cannot be opened for writing.
    TRACE_CALL("SetFileAttributesA a read-only", SetFileAttributesA(a.c_str(), ReadOnly));
    HANDLE file = CreateFileA(a.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    TraceResult("CreateFileA a for writing is valid", file != INVALID_HANDLE_VALUE, true);
    if (file != INVALID_HANDLE_VALUE) (void)CloseHandle(file);
    probe::RemoveWorkFolder();
}

void CurrentDirectory()
{
    std::string work = probe::MakeWorkFolder();
    (void)probe::MakeFile(work + "a.wav", "aaa");
    (void)CreateDirectoryA((work + "Sub").c_str(), nullptr);
    probe::TraceCurrentDirectory();
    TRACE_CALL("SetCurrentDirectoryA work", SetCurrentDirectoryA("work"));
    probe::TraceCurrentDirectory();
    TRACE_CALL("SetCurrentDirectoryA SUB\\", SetCurrentDirectoryA("SUB\\"));
    probe::TraceCurrentDirectory();
    TRACE_CALL("SetCurrentDirectoryA ..", SetCurrentDirectoryA(".."));
    probe::TraceCurrentDirectory();
    TRACE_CALL("SetCurrentDirectoryA missing", SetCurrentDirectoryA("missing"));
    TRACE_CALL("SetCurrentDirectoryA missing\\sub", SetCurrentDirectoryA("missing\\sub"));
    TRACE_CALL("SetCurrentDirectoryA a.wav", SetCurrentDirectoryA("a.wav"));
    probe::TraceCurrentDirectory();
    char small[4] = "xyz";
    char full[MAX_PATH] = "";
    DWORD length = GetCurrentDirectoryA(MAX_PATH, full);
    TraceResult("GetCurrentDirectoryA size 4 is the length with its zero",
                GetCurrentDirectoryA(4, small) == length + 1);
    Trace(std::string("buffer ") + probe::Hex(std::string(small, 4)));
    // A relative name is found in the current directory.
    TraceAttributes("a.wav", "a.wav");
    TRACE_CALL("SetCurrentDirectoryA probe", SetCurrentDirectoryA(probe::ProbeFolder().c_str()));
    probe::TraceCurrentDirectory();
    probe::RemoveWorkFolder();
}

// Under the UTF-8 manifest, the A functions take file names in UTF-8.
void JapaneseNames()
{
    std::string work = probe::MakeWorkFolder();
    const std::string bird = "鳥の音01.wav";
    const std::string user = "ユーザ１-00.wav";
    TraceResult("MakeFile " + bird, probe::MakeFile(work + bird, "tori"));
    probe::TraceFind("work\\鳥の*.wav", work + "鳥の*.wav");
    TRACE_CALL("CopyFileA bird user",
               CopyFileA((work + bird).c_str(), (work + user).c_str(), TRUE));
    TraceBytes(user, work + user);
    probe::TraceFind("work\\*.wav", work + "*.wav");
    // Letter case beyond ASCII: full-width and accented letters.
    (void)probe::MakeFile(work + "ＡＢＣ.txt", "fullwidth");
    (void)probe::MakeFile(work + "Äpfel.txt", "umlaut");
    TraceAttributes("ａｂｃ.TXT", work + "ａｂｃ.TXT");
    TraceAttributes("äpfel.txt", work + "äpfel.txt");
    probe::TraceFind("work\\ä*.txt", work + "ä*.txt");
    probe::RemoveWorkFolder();
}

// A file another program holds open: a rename of it, or onto its name, fails unless the holder
// shares deletion; the renumbering of the delete dialog meets this.
void RenameOpenFile()
{
    std::string work = probe::MakeWorkFolder();
    std::string a = work + "a.wav", b = work + "b.wav", c = work + "c.wav";
    (void)probe::MakeFile(a, "aaa");
    (void)probe::MakeFile(b, "bbb");
    HANDLE held = CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    TRACE_CALL("MoveFileA held a c", MoveFileA(a.c_str(), c.c_str()));
    TRACE_CALL("MoveFileExA b held a replace",
               MoveFileExA(b.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING));
    TRACE_CALL("CopyFileA held a c", CopyFileA(a.c_str(), c.c_str(), TRUE));
    TRACE_CALL("DeleteFileA c", DeleteFileA(c.c_str()));
    (void)CloseHandle(held);
    held = CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    TRACE_CALL("MoveFileA a shared for deletion c", MoveFileA(a.c_str(), c.c_str()));
    (void)CloseHandle(held);
    probe::TraceFind("work\\*.wav", work + "*.wav");
    TraceBytes("c", c);
    probe::RemoveWorkFolder();
}

constexpr probe::Scenario Scenarios[] = {
    {"find-patterns", FindPatterns},          {"copy-fail-if-exists", CopyFailIfExists},
    {"move-onto-existing", MoveOntoExisting}, {"delete-read-only", DeleteReadOnly},
    {"rename-open-file", RenameOpenFile},     {"attributes", Attributes},
    {"current-directory", CurrentDirectory},  {"japanese-names", JapaneseNames},
};

} // namespace

extern const probe::Area filesArea = {"files", Scenarios, std::size(Scenarios)};
