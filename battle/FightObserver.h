// A watcher of the battle loop for the dev tools and tests: called at the start of
// every pass, also in the result panels' loops, where it may read the battle and
// feed it input.
#pragma once

class CFight;

class CFightObserver {
public:
    virtual ~CFightObserver() = default;
    virtual void OnPass(CFight& fight) = 0;
};

// Installs the observer (null: none); the caller keeps ownership.
void SetFightObserver(CFightObserver* pObserver);
CFightObserver* FightObserver();
