// The shell's side of the toolbar's effect pools and weather: the scene draw's tick, the
// script's weather switch, and the switch-off of every overlay and the fight's reset when
// a game starts or ends (a loaded game's toolbar block does both). The fighting's calls
// reach the pools through the toolbar's fight host.
#pragma once
// Ticks the toolbar's area and flying effects (the scene draw, once a frame).
void ReapToolBarEffects();
// Toggles a weather number 0..5 of the toolbar (script command 95).
void SetToolBarWeather(int nWeather);
// Every overlay and the shake off: a new game, the title, a loaded game.
void SwitchOffToolBarWeather();
// The toolbar's effect pools, life-loss numbers and armed bomb cleared, at the same times.
void ResetToolBarFight();
