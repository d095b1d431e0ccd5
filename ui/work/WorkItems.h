// What the work panels share about items: the item row and bag shape of an id, and the
// way a unit goes back to the hero when a panel gives it up.
#pragma once

struct ItemRow;

// The item row of an id; null for an id outside the item table.
ItemRow* WorkItemRow(int nItem);
// The bag shape code of an item; -1 for an id outside the item table.
int WorkItemShape(int nItem);
// Puts a unit back into the hero's bag; a full bag (after its notice) drops it at the
// hero, so the unit is never lost.
void ReturnToBag(int nItem);
// True when the hero's bonus record of the item holds a bonus that waits for its unit
// to come back into the bag (an inlay recorded while the unit was out of the grid).
bool HasWaitingBonus(int nItem);
// As ReturnToBag, except that a unit the full bag refuses goes onto the cursor when the
// cursor is free (it stays the hero's, bonus record and all); only a busy cursor drops it.
void ReturnToBagOrCursor(int nItem);
