// The simulated drive: the Windows behaviours the sound-file dialogs rely on, as the conformance
// probe measured them against Wine. Calls are made on a small program's thread (desktop.Input),
// where GetLastError means what it does on Windows.
#include "platform/sim/desktop.h"
#include "platform/sim/internal.h"
#include "tests/support/owner.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

constexpr char Program[] = "C:\\ZelmoSound\\";

std::string At(const std::string &name)
{
    return Program + name;
}

class SimFiles : public ::testing::Test
{
  protected:
    SimFiles() : desktop_(Options()) { process_ = desktop_.Start(zelmo_test::OwnerProgram); }

    static sim::Desktop::Options Options()
    {
        sim::Desktop::Options options;
        options.start = {2026, 12, 8, 10, 0, 0};
        return options;
    }

    // Runs the call on the program's thread; the result and GetLastError right after it.
    template <typename Call> std::pair<long long, DWORD> Run(Call call)
    {
        std::pair<long long, DWORD> outcome;
        desktop_.Input(process_, [&] {
            SetLastError(0);
            outcome.first = static_cast<long long>(call());
            outcome.second = GetLastError();
        });
        return outcome;
    }
    std::pair<long long, DWORD> Failed(DWORD error) { return {0, error}; }

    sim::Desktop desktop_;
    int process_ = 0;
};

using Outcome = std::pair<long long, DWORD>;

TEST_F(SimFiles, AReadOnlyFileIsNeitherWrittenReplacedNorDeletedButMovesAndCopiesAsReadOnly)
{
    desktop_.WriteFile(At("a.wav"), "old");
    desktop_.WriteFile(At("b.wav"), "new");
    desktop_.SetReadOnly(At("A.WAV"), true);
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
              desktop_.FileAttributes(At("a.wav")));

    auto a = At("a.wav"), b = At("b.wav");
    EXPECT_EQ(Outcome(0, ERROR_ACCESS_DENIED), Run([&] {
                  HANDLE file = CreateFileA(a.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
                  return file != INVALID_HANDLE_VALUE;
              }));
    EXPECT_EQ(Failed(ERROR_ACCESS_DENIED), Run([&] { return DeleteFileA(a.c_str()); }));
    EXPECT_EQ(Failed(ERROR_ACCESS_DENIED), Run([&] { return CopyFileA(b.c_str(), a.c_str(), 0); }));
    EXPECT_EQ(Failed(ERROR_FILE_EXISTS), Run([&] { return CopyFileA(b.c_str(), a.c_str(), 1); }));
    EXPECT_EQ(Failed(ERROR_ACCESS_DENIED),
              Run([&] { return MoveFileExA(b.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING); }));
    EXPECT_EQ("old", desktop_.ReadFile(a).value_or(""));

    // Renamed and copied, it stays read-only; cleared, it is a file with no attributes.
    auto c = At("c.wav"), d = At("d.wav");
    EXPECT_EQ(1, Run([&] { return MoveFileA(a.c_str(), c.c_str()); }).first);
    EXPECT_EQ(1, Run([&] { return CopyFileA(c.c_str(), d.c_str(), TRUE); }).first);
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE}, desktop_.FileAttributes(c));
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE}, desktop_.FileAttributes(d));
    EXPECT_EQ(1, Run([&] { return SetFileAttributesA(c.c_str(), FILE_ATTRIBUTE_NORMAL); }).first);
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_NORMAL}, desktop_.FileAttributes(c));
    EXPECT_EQ(1, Run([&] { return DeleteFileA(c.c_str()); }).first);
    // A new file under the name of a deleted read-only one is a plain archived file.
    desktop_.SetReadOnly(d, false);
    EXPECT_EQ(1, Run([&] { return DeleteFileA(d.c_str()); }).first);
    desktop_.WriteFile(d, "again");
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_ARCHIVE}, desktop_.FileAttributes(d));
}

TEST_F(SimFiles, AMissingPathSaysWhetherItsFolderIsMissingTooAndOnlyFoldersBecomeCurrent)
{
    desktop_.WriteFile(At("a.wav"), "a");
    EXPECT_EQ(Failed(ERROR_FILE_NOT_FOUND), Run([] { return DeleteFileA("none.wav"); }));
    EXPECT_EQ(Failed(ERROR_PATH_NOT_FOUND), Run([] { return DeleteFileA("no\\none.wav"); }));
    EXPECT_EQ(Outcome(INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND),
              Run([] { return GetFileAttributesA("no\\none.wav"); }));
    EXPECT_EQ(Failed(ERROR_FILE_NOT_FOUND), Run([] { return SetCurrentDirectoryA("none"); }));
    EXPECT_EQ(Failed(ERROR_PATH_NOT_FOUND), Run([] { return SetCurrentDirectoryA("no\\sub"); }));
    EXPECT_EQ(Failed(ERROR_DIRECTORY), Run([] { return SetCurrentDirectoryA("a.wav"); }));
    EXPECT_EQ(Failed(ERROR_FILE_NOT_FOUND), Run([] { return MoveFileA("none.wav", "x.wav"); }));
    // Folders: made, refused when there, removed only when empty and not current.
    EXPECT_EQ(1, Run([] { return CreateDirectoryA("Sub", nullptr); }).first);
    EXPECT_EQ(Failed(ERROR_ALREADY_EXISTS), Run([] { return CreateDirectoryA("sub", nullptr); }));
    EXPECT_EQ(1, Run([] { return SetCurrentDirectoryA("SUB"); }).first);
    EXPECT_EQ(Failed(ERROR_SHARING_VIOLATION), Run([] { return RemoveDirectoryA("."); }));
    EXPECT_EQ(1, Run([] { return SetCurrentDirectoryA(".."); }).first);
    desktop_.WriteFile(At("Sub\\x.wav"), "x");
    EXPECT_EQ(Failed(ERROR_DIR_NOT_EMPTY), Run([] { return RemoveDirectoryA("sub"); }));
}

TEST_F(SimFiles, ARenameMayChangeNothingButTheLetterCase)
{
    desktop_.WriteFile(At("bird00.wav"), "a");
    EXPECT_EQ(1, Run([] { return MoveFileA("bird00.wav", "BIRD00.WAV"); }).first);
    EXPECT_EQ(std::vector<std::string>{"BIRD00.WAV"}, desktop_.ListFolder(Program));
}

TEST_F(SimFiles, SearchesFindLettersOfAnyCaseShortNamesAndTheFolderItself)
{
    for (const char *name :
         {"Äpfel.txt", "ＡＢＣ.txt", "bird03.wave", "crickt00.wave", "bird1.wav"})
        desktop_.WriteFile(At(name), name);
    desktop_.WriteFile(At("Sub\\x.wav"), "x");
    auto find = [&](const std::string &pattern) {
        std::vector<std::string> names;
        desktop_.Input(process_, [&] {
            WIN32_FIND_DATAA data;
            HANDLE search = FindFirstFileA(pattern.c_str(), &data);
            if (search == INVALID_HANDLE_VALUE) return;
            do
                names.push_back(data.cFileName + std::string("/") + data.cAlternateFileName);
            while (FindNextFileA(search, &data));
            FindClose(search);
        });
        return names;
    };
    EXPECT_EQ(std::vector<std::string>{"Äpfel.txt/"}, find("äPFEL.TXT"));
    EXPECT_EQ(std::vector<std::string>{"ＡＢＣ.txt/"}, find("ａｂｃ.*"));
    // A name with a longer extension matches by its short name, as on Windows with 8.3 names.
    EXPECT_EQ((std::vector<std::string>{"bird03.wave/BIRD03~1.WAV", "bird1.wav/"}),
              find("bird*.wav"));
    EXPECT_EQ(std::vector<std::string>{"crickt00.wave/CRICKT~1.WAV"}, find("crickt*.wav"));
    EXPECT_EQ((std::vector<std::string>{"./", "../", "x.wav/"}), find("sub\\*"));
    EXPECT_EQ(0, desktop_.OpenHandles());
}

TEST_F(SimFiles, ACopyIsReportedAsACopyAndOneThatFailsLeavesNothingBehind)
{
    std::vector<std::string> events;
    desktop_.Subscribe([&](const sim::Event &event) {
        std::string json = event.Json();
        if (event.kind.rfind("file.", 0) == 0) events.push_back(json.substr(json.find("\"event")));
    });
    desktop_.WriteFile("C:\\Music\\song.wav", std::string(100, 's'));
    EXPECT_EQ(1, Run([] { return CopyFileA("C:\\Music\\song.wav", "user1-00.wav", TRUE); }).first);
    EXPECT_EQ(
        std::vector<std::string>{R"("event":"file.copy","path":"C:\\ZelmoSound\\user1-00.wav",)"
                                 R"("from":"C:\\Music\\song.wav"})"},
        events);
    events.clear();
    desktop_.Faults().writeBudget = 10;
    EXPECT_EQ(Failed(ERROR_DISK_FULL),
              Run([] { return CopyFileA("C:\\Music\\song.wav", "user1-01.wav", TRUE); }));
    EXPECT_FALSE(desktop_.FileExists(At("user1-01.wav")));
    EXPECT_TRUE(events.empty());
}

// Every operation of the drive takes part in fault injection: a copy as a whole and each of its
// steps, setting attributes, creating and removing a folder. A failed call says the injected
// error, changes nothing and leaves nothing behind.
TEST_F(SimFiles, InjectedFailuresReachCopiesAttributesAndFoldersAndChangeNothing)
{
    using sim::FileOperation;
    constexpr DWORD Injected = ERROR_HANDLE_DISK_FULL;
    sim::FileFaults &faults = desktop_.Faults();
    desktop_.WriteFile("C:\\Music\\song.wav", std::string(10000, 's'));
    auto copy = [] { return CopyFileA("C:\\Music\\song.wav", "user1-00.wav", FALSE); };
    // The copy itself, its source's opening, its target's creation, its read, its write.
    const std::pair<FileOperation, int64_t> steps[] = {{FileOperation::Copy, 1},
                                                       {FileOperation::Create, 1},
                                                       {FileOperation::Create, 2},
                                                       {FileOperation::Read, 1},
                                                       {FileOperation::Write, 1}};
    for (const auto &[operation, nth] : steps) {
        faults.ClearFailures();
        faults.FailCall(operation, nth, Injected);
        EXPECT_EQ(Failed(Injected), Run(copy)) << static_cast<int>(operation) << " " << nth;
        EXPECT_FALSE(desktop_.FileExists(At("user1-00.wav"))) << static_cast<int>(operation);
    }
    faults.ClearFailures();
    EXPECT_EQ(1, Run(copy).first);
    EXPECT_EQ(std::string(10000, 's'), desktop_.ReadFile(At("user1-00.wav")).value_or(""));

    faults.FailEvery(FileOperation::SetAttributes, At("USER1-00.WAV"), Injected);
    EXPECT_EQ(Failed(Injected),
              Run([] { return SetFileAttributesA("user1-00.wav", FILE_ATTRIBUTE_READONLY); }));
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_ARCHIVE}, desktop_.FileAttributes(At("user1-00.wav")));

    faults.FailCall(FileOperation::CreateFolder, 1, Injected);
    EXPECT_EQ(Failed(Injected), Run([] { return CreateDirectoryA("Sounds", nullptr); }));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, desktop_.FileAttributes(At("Sounds")));
    EXPECT_EQ(1, Run([] { return CreateDirectoryA("Sounds", nullptr); }).first);
    faults.FailCall(FileOperation::RemoveFolder, 1, Injected);
    EXPECT_EQ(Failed(Injected), Run([] { return RemoveDirectoryA("Sounds"); }));
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_DIRECTORY}, desktop_.FileAttributes(At("Sounds")));
}

// Another program holds a file open: renaming it is a sharing violation and replacing it is
// refused, unless the holder shares deletion; the holder's handle then follows the new name.
TEST_F(SimFiles, AFileHeldOpenMovesOnlyWhenItsHolderSharesDeletion)
{
    desktop_.WriteFile(At("a.wav"), "aaa");
    desktop_.WriteFile(At("b.wav"), "bbb");
    HANDLE held = INVALID_HANDLE_VALUE;
    auto hold = [&](DWORD share) {
        return Run([&] {
            held = CreateFileA(At("a.wav").c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0,
                               nullptr);
            return held != INVALID_HANDLE_VALUE;
        });
    };
    ASSERT_EQ(1, hold(FILE_SHARE_READ).first);
    EXPECT_EQ(Failed(ERROR_SHARING_VIOLATION),
              Run([] { return MoveFileA(At("a.wav").c_str(), At("c.wav").c_str()); }));
    EXPECT_EQ(Failed(ERROR_ACCESS_DENIED), Run([] {
                  return MoveFileExA(At("b.wav").c_str(), At("a.wav").c_str(),
                                     MOVEFILE_REPLACE_EXISTING);
              }));
    Run([&] { return CloseHandle(held); });

    ASSERT_EQ(1, hold(FILE_SHARE_READ | FILE_SHARE_DELETE).first);
    EXPECT_EQ(1, Run([] { return MoveFileA(At("a.wav").c_str(), At("c.wav").c_str()); }).first);
    char bytes[4] = {};
    DWORD read = 0;
    EXPECT_EQ(1, Run([&] { return ReadFile(held, bytes, 3, &read, nullptr); }).first);
    EXPECT_STREQ("aaa", bytes);
    // Under its new name the file is still shared for deletion.
    EXPECT_EQ(1, Run([] { return DeleteFileA(At("c.wav").c_str()); }).first);
    Run([&] { return CloseHandle(held); });
    EXPECT_EQ(0, desktop_.OpenHandles());
}

} // namespace
