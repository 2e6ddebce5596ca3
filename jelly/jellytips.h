// The jellyfish's tool tips: the ten ordinary jellyfish speak through the jelly window's tool
// tip control, each with a text drawn from JellyMsg whenever it has moved.
#pragma once

#include "platform.h"

// JellyMsg holds three groups one after another: what young jellyfish say, what grown-up ones
// say, and what they say while all ten are alive.
constexpr int YoungTips = 0;      // entries 0..9
constexpr int YoungTipCount = 10; //
constexpr int GrownTips = 10;     // entries 10..69
constexpr int GrownTipCount = 60; //
constexpr int AllTips = 70;       // entries 70..89
constexpr int AllTipCount = 20;   //
constexpr int JellyMsgCount = 90; //
extern const char *const JellyMsg[JellyMsgCount];

extern HWND hwndToolTip; // the jelly window's tool tip control, made once with the window

// Brings the tools of slots 0..9 up to date: a slot whose position changed since the last update
// gets a new rectangle and text, and its tool is added, changed or removed by chance; a free
// slot's tool is removed. A slot that did not move is left alone and draws no random number.
void JellySetToolTip(HWND hwnd);

// Puts this module's state back to its start values.
void ResetJellyTipsState();
