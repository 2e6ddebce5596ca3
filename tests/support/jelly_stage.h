// A stage for the jellyfish on the simulated desktop: the program's own jelly window, made by a
// small program of the test's without the main window, tray or sounds. The jellyfish start,
// tick and stop as the window runs them: its start message, its timer's tick, the user's right
// click and Yes. Tests about the table itself may also run one step of it directly.
#pragma once

#include "tests/support/program.h"

#include "jelly/behaviour.h"
#include "jelly/movement.h"
#include "jelly/population.h"

#include <functional>
#include <string>
#include <vector>

namespace zelmo_test
{

// Lines of a jelly file for one ordinary slot (1..10), CR LF ended.
std::string JellyLines(int number, int exist, int type, int direction, int age, int x, int y,
                       int clicks);
// A record with the fields the jelly file holds, the others zero.
JellyRecord JellyOf(int exist, int type, int direction, int age, int x, int y, int clicks);
// The lines of a free slot (1..10).
std::string FreeJellyLines(int number);
// A whole jelly file: slots 1..alive alive with the given type, age and clicks, in a row at
// (60 * number, 300); the others free.
std::string JellyFileOf(int alive, int type = 2, int age = 1000, int clicks = 0);

class JellyDesk
{
  public:
    // Starts the stage program on a fresh desktop of the given screen size at the given time.
    void Open(sim::LocalTime start = {2026, 12, 8, 12, 0, 0}, int width = 1024, int height = 768);
    virtual ~JellyDesk();

    sim::Desktop &desktop() { return *desktop_; }
    HWND Window() const; // the jelly window
    // Runs an action on the program's thread, as the window's own message handling would.
    void OnProgram(std::function<void()> action);

    void WriteJellyFile(const std::string &text);
    std::optional<std::string> JellyFile() const;

    // The start, from the start message as the tray menu sends it; the first-run hint, if it
    // comes, is answered. Returns 1 when the jelly file was read (no hint), else 0.
    int StartJellyfish();
    // The user ends them: a right click on the window and Yes (the file is saved, the window
    // hides).
    void StopJellyfish();
    // Stops the window's timer only, so that nothing moves but what the test runs itself.
    void HoldTicks();
    // Lets one tick pass (300 ms of virtual time); nobody left, the user answers the message.
    void Tick();
    void Ticks(int count);
    // Runs ticks one after another on the program's thread, each 300 ms of virtual time after
    // the last (later when a tick's waits hold it longer), instead of through the timer: a long
    // run then needs no hand-over between the threads per tick. Stops when nobody is left (the
    // user answers the message).
    void TicksInOneGo(int count);
    bool Running() const; // the jellyfish run
    // An action run on the program's thread right after every tick of TicksInOneGo (null for
    // none).
    void AfterEachTick(std::function<void()> action);

    // Sounds requested since the last call, by name.
    std::vector<std::string> NewSounds();
    // Every pixel drawn since the last call, summed over icons and fills (clipped to the screen).
    int64_t PixelsTouched();

  protected:
    void AnswerNobodyLeft();

    std::unique_ptr<sim::Desktop> desktop_;
    int process_ = 0;
    size_t soundsSeen_ = 0;
    int stops_ = 0;
};

// The jelly tests' fixture: a stage on a desktop of its own.
class JellyStage : public ::testing::Test, public JellyDesk
{
};

} // namespace zelmo_test
