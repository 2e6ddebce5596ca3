// The register and delete dialogs on the simulated desktop, worked as a user works them: the
// tray menu opens them, the user clicks, types, selects and answers message boxes; the tests
// look at the program folder's files, byte for byte, and at the group table.
#pragma once

#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/sound.h"
#include "resources/resource.h"

#include <set>
#include <string>
#include <vector>

namespace zelmo_test
{

constexpr char RegistTemplate[] = "6";
constexpr char DeleteTemplate[] = "7";
// The file name field of the file-open dialog (cmb13 of Windows' template).
constexpr int OpenNameField = 0x47c;

class SoundFileDialogs : public ::testing::Test
{
  protected:
    SoundFileDialogs() : program({2026, 12, 8, 12, 0, 0}) {}

    sim::Desktop &desktop() { return program.desktop(); }

    // Chooses the command from the tray menu; the dialog it opened, or null.
    HWND OpenFromTray(int command, const char *templateName,
                      std::optional<POINT> pointer = std::nullopt)
    {
        return program.OpenFromTray(command, templateName, pointer);
    }
    sim::ControlInfo Control(HWND dialog, int id) { return desktop().Control(dialog, id); }
    std::vector<std::string> Items(HWND dialog, int id) { return Control(dialog, id).items; }

    // The message box open now, the only one, checked against the text and the type (caption:
    // the application name), then answered with the button.
    void ExpectBox(const std::string &text, UINT type, int answer);

    // Birds 00 to birds - 1, and the user's own C:\Music\Song.wav (Recording(1)); the program
    // started and its register dialog open on the birds, with the song's path typed in.
    HWND RegistSongIntoBirds(int birds);
    // With the dialog open, the ambient sounds keep still for a minute, the other dialog
    // commands do nothing and Esc leaves the dialog open.
    void ExpectTheDialogHoldsEverythingBack(HWND dialog, const char *templateName);
    // Another program opens the program folder's file for reading, sharing only reading.
    HANDLE HoldOpen(const std::string &name)
    {
        return CreateFileA((desktop().ProgramFolder() + name).c_str(), GENERIC_READ,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    // A wave file whose bytes tell it from every other one made with another tag.
    static std::string Recording(int tag) { return WaveBytes(100 + tag); }
    void Put(const std::string &name, const std::string &bytes)
    {
        program.WriteProgramFile(name, bytes);
    }
    std::string Bytes(const std::string &name)
    {
        return program.ReadProgramFile(name).value_or("");
    }
    // Every name in the program folder, sorted as a listing is.
    std::vector<std::string> Folder() { return desktop().ListFolder(desktop().ProgramFolder()); }
    // The contents of every file in the program folder, whatever their names.
    std::multiset<std::string> Contents();
    // The file events since WatchFiles, by file name: "write a", "copy a -> b",
    // "rename a -> b", "delete a", "attributes a".
    std::vector<std::string> FileEvents() const { return fileEvents_; }
    void WatchFiles();

    Program program;

  private:
    std::vector<std::string> fileEvents_;
};

} // namespace zelmo_test
