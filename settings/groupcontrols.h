// Which control of a sound dialog stands for which sound group: check box 301 + i and drop-down
// list 361 + i in the two settings dialogs, radio button 601 + i in the register and delete
// dialogs. Only groups with a file-name prefix (WaveFile) have controls.
#pragma once

#include "platform.h"
#include "resources/resource.h"

constexpr int CheckBoxOf(int group)
{
    return IDC_SOUND_FIRST + group;
}
constexpr int ListOf(int group)
{
    return IDCB_SOUND_FIRST + group;
}
constexpr int RadioOf(int group)
{
    return IDC_GROUP_FIRST + group;
}

// The group whose radio button is selected in the register or delete dialog: the first one
// found from group 0 on, or InCount when none is.
int SelectedGroup(HWND dialog);
