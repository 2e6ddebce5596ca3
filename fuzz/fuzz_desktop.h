// The simulated desktop a fuzz target reads its inputs through: one for the whole run, its drive
// in the host's memory file system where there is one, since every input is written there as a
// file, millions of times over.
#pragma once

#include "platform/sim/desktop.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace zelmo_fuzz
{

// A fresh folder under /dev/shm, or "" where the host has none (the desktop then makes a
// temporary folder of its own).
inline std::string MemoryFolder()
{
    std::error_code error;
    if (!std::filesystem::is_directory("/dev/shm", error)) return "";
    char pattern[] = "/dev/shm/zelmo-fuzz-XXXXXX";
    const char *made = mkdtemp(pattern);
    return made ? made : "";
}

struct FuzzDesktop {
    std::string root = MemoryFolder();
    sim::Desktop desktop{[this] {
        sim::Desktop::Options options;
        options.hostRoot = root;
        return options;
    }()};
    ~FuzzDesktop()
    {
        std::error_code error;
        if (!root.empty()) std::filesystem::remove_all(root, error);
    }
};

} // namespace zelmo_fuzz
