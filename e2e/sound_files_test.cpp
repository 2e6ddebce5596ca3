// Registering and deleting sound files in the real program under Wine: a wave file chosen in the
// real file-open dialog is copied into the user's first group, and a deleted bird closes its
// gap by the renumbering of the files above it.
#include "e2e/tray_user.h"

#include "resources/resource.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

using namespace e2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

constexpr char RegistTitle[] = "音ファイルの登録";
constexpr char DeleteTitle[] = "音ファイルの削除";
constexpr char OpenTitle[] = "音ファイルの参照 どのファイル？";
constexpr char OtherSettingsTitle[] = "その他の音の設定";
// The file-open dialog's file name field: a combo box (cmb13) on current templates, an edit
// field (edt1) on older ones; and its Open button.
constexpr const char *OpenNameFields[] = {"1148", "1152"};
constexpr char IdOk[] = "1";
constexpr char IdYes[] = "6";
// The register and delete dialogs' controls.
const std::string FileName = Id(IDC_FILENAME);
const std::string SelectedFile = Id(IDC_SELECTED);
const std::string FileList = Id(IDC_FILELIST);
const std::string BirdsRadio = Id(IDC_GROUP02);
const std::string RegistButton = Id(IDC_REGIST);
const std::string DeleteButton = Id(IDC_DELETE);
const std::string FinishButton = Id(IDC_FINISH);
const std::string User1Check = Id(IDC_SOUND18);
const std::string CancelButton = Id(IDC_CANCEL);

// A folder of the user's own, away from the program folder, removed afterwards.
struct MusicFolder {
    MusicFolder()
    {
        char pattern[] = "/tmp/zelmo-e2e-music-XXXXXX";
        if (mkdtemp(pattern)) dir = pattern;
    }
    ~MusicFolder()
    {
        std::error_code ignored;
        if (!dir.empty()) fs::remove_all(dir, ignored);
    }
    fs::path dir;
};

// The files opened in some folders, as Linux reports them (inotify): how a test sees which file
// a sound request of the program under Wine found, with or without a sound device.
class OpenedFiles
{
  public:
    explicit OpenedFiles(const std::vector<fs::path> &folders) : fd_(inotify_init1(IN_NONBLOCK))
    {
        for (const fs::path &folder : folders)
            watches_[inotify_add_watch(fd_, folder.c_str(), IN_OPEN)] = folder;
    }
    ~OpenedFiles() { close(fd_); }
    OpenedFiles(const OpenedFiles &) = delete;
    OpenedFiles &operator=(const OpenedFiles &) = delete;

    // Whether the file has been opened so far (reads what has been reported, waits for nothing).
    bool Opened(const fs::path &file)
    {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t length; (length = read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char *at = buffer; at < buffer + length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                if (event->len > 0) opened_.insert(watches_[event->wd] / event->name);
                at += sizeof(inotify_event) + event->len;
            }
        }
        return opened_.count(file) > 0;
    }

  private:
    int fd_;
    std::map<int, fs::path> watches_;
    std::set<fs::path> opened_;
};

class SoundFilesE2E : public TrayUser
{
  protected:
    // Waits for the program's message box over the window, checks its text and answers it.
    testing::AssertionResult Answer(const Record &owner, const std::string &text,
                                    const std::string &button)
    {
        Record box;
        testing::AssertionResult found = WaitMessageBox(owner, text, &box);
        if (!found) return found;
        std::vector<Record> controls = session.Driver({"controls", box.get("hwnd")}).records;
        bool shown = std::any_of(controls.begin(), controls.end(),
                                 [&](const Record &c) { return c.get("text") == text; });
        session.Screenshot("sound-files-box");
        if (!shown)
            return testing::AssertionFailure()
                   << "the box does not say \"" << text << "\"\n"
                   << session.Driver({"controls", box.get("hwnd")}).output;
        testing::AssertionResult clicked = Click(box, button);
        if (!clicked) return clicked;
        return Gone(box, "the box \"" + text + "\"");
    }
};

} // namespace

// Command 203: a wave file chosen through the real file-open dialog (its path typed into the
// dialog's file name field and confirmed) becomes "user1-00.wav" with the same bytes, and the
// second settings dialog offers the user's first group from then on. Command 204: bird01.wav
// deleted from bird00 to bird03, the files above it move down in their order.
TEST_F(SoundFilesE2E, RegisterAChosenFileThenDeleteABirdAndRenumber)
{
    MusicFolder music;
    ASSERT_FALSE(music.dir.empty());
    const fs::path song = music.dir / "song.wav";
    fs::copy_file(session.SoundDir() / "drop01.wav", song);
    ProgramFolder folder(session.ProgramExe());
    std::map<int, std::string> birds;
    for (int n = 0; n < 4; ++n) {
        const std::string name = "bird0" + std::to_string(n) + ".wav";
        folder.Add(session.SoundDir() / name);
        birds[n] = ReadText(folder.Dir() / name);
    }
    Program program(session, folder, "sound-files");
    Record main, dialog;
    Rect icon;
    ASSERT_TRUE(WaitTray(&main, &icon));

    // Register: the file-open dialog, the path typed and confirmed, then "登録する".
    ASSERT_TRUE(OpenFromTray(icon, "r", RegistTitle, &dialog));
    ASSERT_TRUE(Click(dialog, Id(IDC_REFERENCE)));
    Record open;
    ASSERT_TRUE(WaitDialog(OpenTitle, &open));
    EXPECT_EQ(open.get("owner"), dialog.get("hwnd"));
    std::vector<Record> fields = session.Driver({"controls", open.get("hwnd")}).records;
    const char *nameField =
        Control(fields, OpenNameFields[0]) ? OpenNameFields[0] : OpenNameFields[1];
    ASSERT_TRUE(Control(fields, nameField)) << "no file name field in the file-open dialog";
    ASSERT_EQ(session.Driver({"text", open.get("hwnd"), nameField, WindowsPath(song)}).code, 0);
    session.Screenshot("sound-files-open");
    ASSERT_TRUE(Click(open, IdOk));
    ASSERT_TRUE(Gone(open, "the file-open dialog"));
    ASSERT_TRUE(WaitControls(dialog, "the chosen path in the file name field",
                             {{FileName, "text", WindowsPath(song)}}));
    ASSERT_TRUE(Click(dialog, RegistButton));
    ASSERT_TRUE(Answer(dialog, "指定のファイルは user1-00.wav として登録されました。", IdOk));
    EXPECT_EQ(ReadText(folder.Dir() / "user1-00.wav"), ReadText(song));
    EXPECT_FALSE(fs::exists(folder.Dir() / "user1-00.~00"));
    ASSERT_TRUE(Click(dialog, FinishButton));
    ASSERT_TRUE(Gone(dialog, "the register dialog"));

    ASSERT_TRUE(OpenFromTray(icon, "e", OtherSettingsTitle, &dialog));
    std::vector<Record> controls = session.Driver({"controls", dialog.get("hwnd")}).records;
    ASSERT_TRUE(Control(controls, User1Check));
    EXPECT_EQ(Control(controls, User1Check)->get("text"), "ユーザ１を");
    EXPECT_EQ(Control(controls, User1Check)->get("enabled"), "1");
    ASSERT_TRUE(Click(dialog, CancelButton));
    ASSERT_TRUE(Gone(dialog, "the second settings dialog"));

    // Delete: the birds' files listed, bird01.wav selected, "削除する", Yes.
    ASSERT_TRUE(OpenFromTray(icon, "d", DeleteTitle, &dialog));
    ASSERT_TRUE(Click(dialog, BirdsRadio));
    const std::vector<std::string> listed = {"bird00.wav", "bird01.wav", "bird02.wav",
                                             "bird03.wav"};
    ASSERT_TRUE(session.WaitFor(
        "the birds listed",
        [&] {
            return Items(session.Driver({"controls", dialog.get("hwnd")}).records, FileList) ==
                   listed;
        },
        15s));
    ASSERT_EQ(session.Driver({"select", dialog.get("hwnd"), FileList, "1"}).code, 0);
    ASSERT_TRUE(
        WaitControls(dialog, "bird01.wav selected", {{SelectedFile, "text", "bird01.wav"}}));
    session.Screenshot("sound-files-delete");
    ASSERT_TRUE(Click(dialog, DeleteButton));
    // The driver shows the question's line break as a blank.
    ASSERT_TRUE(Answer(dialog, "指定の bird01.wav を削除します。 よろしいですか？", IdYes));
    ASSERT_TRUE(Answer(dialog, "削除しました。 音情報は再設定されました。", IdOk));
    EXPECT_EQ(ReadText(folder.Dir() / "bird00.wav"), birds[0]);
    EXPECT_EQ(ReadText(folder.Dir() / "bird01.wav"), birds[2]);
    EXPECT_EQ(ReadText(folder.Dir() / "bird02.wav"), birds[3]);
    EXPECT_FALSE(fs::exists(folder.Dir() / "bird03.wav"));
    ASSERT_TRUE(Click(dialog, FinishButton));
    ASSERT_TRUE(Gone(dialog, "the delete dialog"));
}

// Started from another working directory (a shortcut's "Start in", a command line elsewhere),
// the program plays its own sounds by their bare names, and never a file of the same name that
// lies in that directory. Without settings the insects play every 3 to 6 seconds.
TEST_F(SoundFilesE2E, StartedFromAnotherFolderItPlaysTheSoundsOfItsOwnFolder)
{
    ProgramFolder folder(session.ProgramExe());
    folder.Add(session.SoundDir() / "crickt00.wav");
    MusicFolder elsewhere;
    fs::copy_file(session.SoundDir() / "crickt01.wav", elsewhere.dir / "crickt00.wav");
    OpenedFiles opened({folder.Dir(), elsewhere.dir});
    Program program(session, folder, "another-folder", {}, elsewhere.dir);
    Record main;
    ASSERT_TRUE(WaitMainWindow(&main));
    ASSERT_TRUE(session.WaitFor(
        "the insects' sound opened in the program folder",
        [&] { return opened.Opened(folder.Dir() / "crickt00.wav"); }, 30s));
    EXPECT_FALSE(opened.Opened(elsewhere.dir / "crickt00.wav"));
}
