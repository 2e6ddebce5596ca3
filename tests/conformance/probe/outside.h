// What the probe cannot do itself: act where no input of its own reaches, such as on the shell's
// tray icon, which lives in another process. The probe writes its request, one line, into this
// file beside itself and waits for the effect; whoever runs the probe (the conformance test under
// Wine, zelmo-probe-sim on the simulated desktop) reads the request, removes the file, and acts
// as a user with real pointer input. Plain text, so the host's code includes it too.
#pragma once

namespace probe
{

constexpr char OutsideRequestFile[] = "probe-user.txt";

// The requests: the pointer moved onto the probe's tray icon (its only one), or a left click,
// a left double click or a right click there.
constexpr char TrayPoint[] = "tray point";
constexpr char TrayLeftClick[] = "tray left-click";
constexpr char TrayDoubleClick[] = "tray double-click";
constexpr char TrayRightClick[] = "tray right-click";

// A question to the user outside, who answers it in this file: which document the browser was
// last asked to show (a Windows path), or "(nothing)".
constexpr char OutsideReplyFile[] = "probe-reply.txt";
constexpr char BrowserShows[] = "browser shows";
constexpr char NothingShown[] = "(nothing)";

} // namespace probe
