// The probe's scenario areas, in the order they run: the one table of the probe. Each area is a
// file of this folder that defines `const probe::Area <name>Area`; adding an area is that file
// and one line here (the build takes every .cpp file of this folder).
#pragma once

#include "tests/conformance/probe/probe.h"

// clang-format off
#define PROBE_AREAS(AREA) \
    AREA(loops)           \
    AREA(queues)          \
    AREA(dialogs)         \
    AREA(menus)           \
    AREA(text)            \
    AREA(files)           \
    AREA(filedialogs)     \
    AREA(paint)           \
    AREA(mouse)           \
    AREA(tooltips)        \
    AREA(format)          \
    AREA(fonts)           \
    AREA(geometry)        \
    AREA(controls)        \
    AREA(timers)          \
    AREA(sound)           \
    AREA(shell)           \
    AREA(system)          \
    AREA(tray)
// clang-format on

#define PROBE_DECLARE_AREA(name) extern const probe::Area name##Area;
PROBE_AREAS(PROBE_DECLARE_AREA)
#undef PROBE_DECLARE_AREA
