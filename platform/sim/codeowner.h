// Whose code a thread of the simulated desktop is running: the program's or the platform's.
//
// The program and the simulated Windows share the program's thread, so a measurement of the
// program alone (the heap allocations its tick makes, say) must tell the two apart. Control
// crosses between them at few places, and each marks the crossing for as long as it lasts:
// every Windows operation of the simulated desktop opens with a PlatformCode scope, and every
// place where the desktop calls into the program (its entry point, window procedures, dialog
// procedures, timer procedures) runs that call inside a ProgramCode scope. A scope gives the
// previous owner back when it ends, so the crossings nest as the calls do. Threads start as
// Host (a test, the runner, the desktop's own bookkeeping), which is neither.
#pragma once

namespace sim
{

enum class CodeOwner { Host, Program, Platform };

inline thread_local CodeOwner RunningCodeOwner = CodeOwner::Host;

inline CodeOwner RunningCode()
{
    return RunningCodeOwner;
}

class CodeScope
{
  public:
    explicit CodeScope(CodeOwner owner) : saved_(RunningCodeOwner) { RunningCodeOwner = owner; }
    ~CodeScope() { RunningCodeOwner = saved_; }
    CodeScope(const CodeScope &) = delete;
    CodeScope &operator=(const CodeScope &) = delete;

  private:
    CodeOwner saved_;
};

// Opens every Windows operation of the simulated desktop.
struct PlatformCode : CodeScope {
    PlatformCode() : CodeScope(CodeOwner::Platform) {}
};

// Wraps every call from the desktop into the program; benchmarks that call the program's
// functions directly wrap them in it too.
struct ProgramCode : CodeScope {
    ProgramCode() : CodeScope(CodeOwner::Program) {}
};

} // namespace sim
