// The group selected by the radio buttons of the register and delete dialogs.
#include "settings/groupcontrols.h"

#include "ground/sound.h"

int SelectedGroup(HWND dialog)
{
    int group = 0;
    while (group < InCount && IsDlgButtonChecked(dialog, RadioOf(group)) != BST_CHECKED)
        ++group;
    return group;
}
