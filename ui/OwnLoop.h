// The pass that starts each turn of an own loop (the modal boxes and the mini-games):
// such a loop runs inside a call of the main loop and takes the window's messages
// itself until it ends.
#pragma once

// Takes and dispatches at most one waiting message, then sets the frame time that the
// cursor and the map layer animate by. False when the loop must end: a quit request
// (put back for the main loop, which ends on it) or a game that stopped (a close from
// the window manager).
bool PumpOneMessage();
