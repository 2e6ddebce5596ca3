// The scenario tests' program on a simulated desktop: laying out the program folder, starting
// ZelmoSound, and the user's tray actions.
#include "tests/support/program.h"

namespace zelmo_test
{

namespace
{
void Put16(std::string &b, int v)
{
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string &b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
} // namespace

std::string WaveBytes(int milliseconds)
{
    const uint32_t rate = 22050;
    uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
    std::string b = "RIFF";
    Put32(b, 36 + samples * 2);
    b += "WAVEfmt ";
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, 1);
    Put32(b, rate);
    Put32(b, rate * 2);
    Put16(b, 2);
    Put16(b, 16);
    b += "data";
    Put32(b, samples * 2);
    b.append(samples * 2, '\0');
    return b;
}

Program::Program(sim::LocalTime start, sim::Desktop::Options options)
    : desktop_([&] {
          options.start = start;
          return options;
      }())
{
    ResetProgramState();
}

Program::~Program() = default;

void Program::AddSounds(const std::string &prefix, int count)
{
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%02d.wav", prefix.c_str(), i);
        WriteProgramFile(name, WaveBytes());
    }
}

void Program::WriteProgramFile(const std::string &name, const std::string &bytes)
{
    desktop_.WriteFile(desktop_.ProgramFolder() + name, bytes);
}

std::optional<std::string> Program::ReadProgramFile(const std::string &name) const
{
    return desktop_.ReadFile(desktop_.ProgramFolder() + name);
}

std::string Program::Settings() const
{
    return ReadProgramFile("ZelmoSound.INI").value_or("");
}

void Program::Start(const std::string &currentDirectory)
{
    ResetProgramState();
    process_ = desktop_.Start(&WinMain, currentDirectory);
}

int Program::StartAnother()
{
    return desktop_.Start(&WinMain);
}

HWND Program::MainWindow() const
{
    return desktop_.FindWindow("ZelmoSound", "Zelmo Sound version1.00");
}

void Program::ChooseFromTray(int command, std::optional<POINT> pointer)
{
    desktop_.RightClickTray();
    if (pointer) desktop_.MovePointer(pointer->x, pointer->y);
    desktop_.ChooseMenu(command);
}

HWND Program::OpenFromTray(int command, const char *templateName, std::optional<POINT> pointer)
{
    ChooseFromTray(command, pointer);
    auto dialog = desktop_.Dialog(templateName);
    EXPECT_TRUE(dialog) << "dialog " << templateName << " did not open";
    return dialog ? dialog->hwnd : nullptr;
}

void Program::PostCommand(int id)
{
    desktop_.Post(MainWindow(), WM_COMMAND, id, 0);
}

std::vector<std::string> Program::SoundNames() const
{
    std::vector<std::string> names;
    for (const auto &sound : desktop_.Sounds())
        names.push_back(sound.name);
    return names;
}

std::vector<double> SecondsSince(const std::vector<sim::SoundRecord> &sounds, sim::Millis start)
{
    std::vector<double> seconds;
    for (const auto &sound : sounds)
        seconds.push_back(static_cast<double>(sound.time - start) / 1000.0);
    return seconds;
}

} // namespace zelmo_test
