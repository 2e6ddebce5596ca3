// The layouts of the Windows records the program fills in, checked when it is compiled. The
// product is the i686 program, but where a machine cannot run 32-bit programs the Wine tests
// run the x86_64 build of the same sources, which cannot see a fact that holds on 32-bit
// Windows only. Those facts are checked when building for i686, so an SDK or compiler that
// broke one fails the product's build instead of the user's tray. Every build takes a record's
// size from the SDK's macros, never as a number of its own.
#pragma once

#include "platform.h"

#include <cstddef>

// The tray record's first layout, which every shell accepts, ends with a tip of 64 characters.
// Later layouts make the field longer, but a shell given the first layout reads no further.
constexpr size_t TrayTipField = NOTIFYICONDATAA_V1_SIZE - offsetof(NOTIFYICONDATAA, szTip);
static_assert(TrayTipField == 64);

#if defined(__i386__)
// On 32-bit Windows that first layout is 88 bytes, the size the shell knows it by.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 20 && offsetof(NOTIFYICONDATAA, szTip) == 24);
#endif
