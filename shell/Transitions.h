// Full-screen transitions of a scene change: the circle wipe closing over the scene and
// opening on the new one, and the welcome fade. Each runs its own loop of flips, taking
// one waiting message a pass; a close or a quit ends it at once. A negative delay does
// not wait.
#pragma once

// Closes a black circle over the scene (radius 500 down to 0, 10 per pass once more than
// nDelay ms have passed); the back buffer ends black.
void CircleWipeOut(int nDelay);
// Opens the circle on the scene (radius 0 up past 500).
void CircleWipeIn(int nDelay);
// A surface of the colour with the welcome texts fades out over the screen (alpha 100
// down past 0, 10 per pass once more than nDelay ms have passed); the back buffer ends
// filled with the colour.
void FadeWelcome(int nRed, int nGreen, int nBlue, int nDelay);
