// The pass that starts each turn of an own loop (the modal boxes, the bank box and the
// mini-games): such a loop runs inside a call of the main loop and takes the window's
// messages itself until it ends.
#pragma once
#include "platform/Window.h"

// Tells a message the own loop reads itself from one it leaves to the window.
using KeepMessageFn = bool (*)(UINT nMessage);

// Takes at most one waiting message and dispatches it. False on a quit request, which
// is put back for the loop outside. A message pfnKeep accepts is not dispatched but
// handed back in *pTaken; pTaken->message is 0 when no message was handed back.
bool DispatchOneMessage(MSG* pTaken = nullptr, KeepMessageFn pfnKeep = nullptr);

// DispatchOneMessage, then sets the frame time that the cursor and the map layer
// animate by. False when the loop must end: a quit request (put back for the loop
// outside) or a game that stopped (a close from the window manager).
bool PumpOneMessage(MSG* pTaken = nullptr, KeepMessageFn pfnKeep = nullptr);
