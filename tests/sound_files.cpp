// The fixture of the register and delete dialogs' tests.
#include "tests/sound_files.h"

#include <map>

namespace zelmo_test
{

void SoundFileDialogs::ExpectBox(const std::string &text, UINT type, int answer)
{
    auto boxes = desktop().OpenMessageBoxes();
    ASSERT_EQ(1u, boxes.size()) << "expected the box \"" << text << "\"";
    EXPECT_EQ(text, boxes[0].text);
    EXPECT_EQ("ZelmoSound", boxes[0].caption);
    EXPECT_EQ(type, boxes[0].type) << text;
    desktop().AnswerMessageBox(answer);
}

HWND SoundFileDialogs::RegistSongIntoBirds(int birds)
{
    program.AddSounds("bird", birds);
    desktop().WriteFile("C:\\Music\\Song.wav", Recording(1));
    program.Start();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    if (!dialog) return nullptr;
    desktop().Click(dialog, IDC_GROUP02);
    desktop().TypeText(dialog, IDC_FILENAME, "C:\\Music\\Song.wav");
    return dialog;
}

void SoundFileDialogs::ExpectTheDialogHoldsEverythingBack(HWND dialog, const char *templateName)
{
    desktop().ClearSounds();
    program.Advance(60 * 1000);
    EXPECT_TRUE(program.Sounds().empty());
    for (int command : {IDM_SOUNDSETTINGS, IDM_OTHERSETTINGS, IDM_REGISTWAVE, IDM_DELETEWAVE})
        program.ChooseFromTray(command);
    EXPECT_EQ(std::vector<std::string>{templateName}, desktop().DialogsShown());
    EXPECT_TRUE(desktop().MessageBoxes().empty());
    desktop().PressEscape(dialog);
    EXPECT_TRUE(desktop().Dialog(templateName));
}

std::multiset<std::string> SoundFileDialogs::Contents()
{
    std::multiset<std::string> contents;
    for (const std::string &name : Folder())
        contents.insert(Bytes(name));
    return contents;
}

namespace
{

// The file name at the end of a path given as a JSON string.
std::string NameIn(const std::string &json)
{
    std::string path = json.size() >= 2 ? json.substr(1, json.size() - 2) : json;
    return path.substr(path.find_last_of('\\') + 1);
}

} // namespace

void SoundFileDialogs::WatchFiles()
{
    desktop().Subscribe([this](const sim::Event &event) {
        if (event.kind.rfind("file.", 0) != 0) return;
        std::map<std::string, std::string> fields(event.fields.begin(), event.fields.end());
        std::string line = event.kind.substr(5) + " ";
        if (event.kind == "file.copy")
            line += NameIn(fields["from"]) + " -> " + NameIn(fields["path"]);
        else if (event.kind == "file.rename")
            line += NameIn(fields["path"]) + " -> " + NameIn(fields["to"]);
        else
            line += NameIn(fields["path"]);
        fileEvents_.push_back(line);
    });
}

} // namespace zelmo_test
