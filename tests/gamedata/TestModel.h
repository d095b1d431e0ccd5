// A small but complete game-data model for tests, and the database records that
// hold the same tables.
#pragma once
#include "tests/gamedata/MemoryRecords.h"
#include "tools/gamekit/GameModel.h"

// Two or three rows of every table, GBK text, an empty text or two, a shop with
// items, a scene with music but no name, skills with and without level rows.
GameModel MakeTestModel();
// The database tables (with every column the import binds) that hold the model.
CMemoryRecordSource RecordsFromModel(const GameModel& model);
