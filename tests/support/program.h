// The program on a simulated desktop, for scenario tests: lay out the program folder, start
// ZelmoSound at a pinned time, let time pass, act as the user, look at what it did.
#pragma once

#include "platform/sim/desktop.h"
#include "shell/reset.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace zelmo_test
{

// A playable PCM wave file (16-bit mono 22050 Hz silence) of the given length.
std::string WaveBytes(int milliseconds = 500);

// Puts every module's globals back to their start values (shell/reset.h keeps the list).
using ::ResetProgramState;

class Program
{
  public:
    explicit Program(sim::LocalTime start = {}, sim::Desktop::Options options = {});
    ~Program();

    sim::Desktop &desktop() { return desktop_; }

    // Writes prefix00.wav .. prefix(n-1).wav into the program folder.
    void AddSounds(const std::string &prefix, int count);
    void WriteProgramFile(const std::string &name, const std::string &bytes);
    std::optional<std::string> ReadProgramFile(const std::string &name) const;
    std::string Settings() const; // contents of the settings file, or "" when missing

    // Starts the program afresh (every module's state back to its start values).
    void Start(const std::string &currentDirectory = "");
    // Starts another copy while this one runs; returns its process number.
    int StartAnother();
    bool Running() const { return desktop_.Running(process_); }
    std::optional<int> ExitCode() const { return desktop_.ExitCode(process_); }
    int process() const { return process_; }

    HWND MainWindow() const;
    // As the user does: the right button on the tray icon, then the item chosen from its menu;
    // with a point, the pointer is there when the item is chosen (where the user found it), so
    // that what opens near the cursor opens there.
    void ChooseFromTray(int command, std::optional<POINT> pointer = std::nullopt);
    // Chooses an item that opens a dialog; returns the dialog of that template, or null (and a
    // failed expectation) when none opened.
    HWND OpenFromTray(int command, const char *templateName,
                      std::optional<POINT> pointer = std::nullopt);
    // Posts WM_COMMAND to the main window and runs until idle: the commands of the window's own
    // class menu, which no user sees, and tests about the message itself.
    void PostCommand(int id);
    void Advance(sim::Millis milliseconds) { desktop_.Advance(milliseconds); }

    // Sounds requested since start (or since the last ClearSounds), with their times.
    std::vector<sim::SoundRecord> Sounds() const { return desktop_.Sounds(); }
    std::vector<std::string> SoundNames() const;

  private:
    sim::Desktop desktop_;
    int process_ = 0;
};

// Seconds of the sound log entries, relative to the given time.
std::vector<double> SecondsSince(const std::vector<sim::SoundRecord> &sounds, sim::Millis start);

} // namespace zelmo_test
