// Scenarios of popup menus: the owner's timer ticks on while TrackPopupMenu runs its loop, an
// item chosen from the keyboard (its mnemonic, or arrows and Enter) or the menu dismissed with
// Esc, with and without TPM_RETURNCMD, and a second TrackPopupMenu while one is open.
#include "tests/conformance/probe/probe.h"

#include <iterator>

namespace
{

HWND Owner = nullptr;

HMENU MakeMenu(int first)
{
    HMENU menu = CreatePopupMenu();
    (void)AppendMenuA(menu, MF_STRING, first, "&Alpha");
    (void)AppendMenuA(menu, MF_STRING, first + 1, "&Beta");
    (void)AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    (void)AppendMenuA(menu, MF_STRING | MF_GRAYED, first + 2, "&Gamma");
    (void)AppendMenuA(menu, MF_STRING, first + 3, "&Delta");
    return menu;
}

void Track(const char *what, int first, UINT flags)
{
    HMENU menu = MakeMenu(first);
    (void)SetForegroundWindow(Owner);
    BOOL result = TrackPopupMenu(menu, flags | TPM_RIGHTBUTTON, 300, 300, 0, Owner, nullptr);
    probe::TraceResult(std::string("TrackPopupMenu ") + what, result);
    (void)DestroyMenu(menu);
}

void MenuScenario(UINT flags, std::vector<probe::Step> steps)
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    steps.insert(steps.begin(), [flags] { Track("menu", 1001, flags); });
    steps.push_back([] { probe::ScenarioDone(); });
    probe::StartUser(Owner, std::move(steps));
    probe::RunScenarioLoop();
}

void MnemonicReturnCommand()
{
    MenuScenario(TPM_RETURNCMD, {[] {}, [] { probe::UserChar('b', Owner); }});
}

void MnemonicPostsCommand()
{
    MenuScenario(0, {[] {}, [] { probe::UserChar('d', Owner); }, [] {}});
}

// Down, down, down skips the separator and stops on the grayed item; one more reaches Delta.
void ArrowsAndEnter()
{
    MenuScenario(TPM_RETURNCMD,
                 {[] { probe::UserKey(VK_DOWN, Owner); }, [] { probe::UserKey(VK_DOWN, Owner); },
                  [] { probe::UserKey(VK_DOWN, Owner); }, [] { probe::UserKey(VK_DOWN, Owner); },
                  [] { probe::UserChar('\r', Owner); }});
}

void GrayedItemByMnemonic()
{
    MenuScenario(TPM_RETURNCMD, {[] { probe::UserChar('g', Owner); }, [] {},
                                 [] { probe::UserKey(VK_ESCAPE, Owner); }});
}

void Escape()
{
    MenuScenario(0, {[] { probe::UserKey(VK_ESCAPE, Owner); }, [] {}});
}

// A tick while the first menu is open asks for a second one.
void SecondMenuWhileOpen()
{
    MenuScenario(TPM_RETURNCMD,
                 {[] { Track("second", 2001, TPM_RETURNCMD); }, [] { probe::UserChar('a', Owner); },
                  [] { probe::UserChar('b', Owner); }, [] {}});
}

constexpr probe::Scenario Scenarios[] = {
    {"mnemonic-returncmd", MnemonicReturnCommand},
    {"mnemonic-posts-command", MnemonicPostsCommand},
    {"arrows-and-enter", ArrowsAndEnter},
    {"grayed-item-by-mnemonic", GrayedItemByMnemonic},
    {"escape", Escape},
    {"second-menu-while-open", SecondMenuWhileOpen},
};

} // namespace

extern const probe::Area menusArea = {"menus", Scenarios, std::size(Scenarios)};
