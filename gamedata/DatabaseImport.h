// Builds every static table from the game database, table by table, with the
// mapping rules of each table (which columns go where, which records count).
#pragma once
#include "gamedata/RecordSource.h"
#include "gamedata/Tables.h"

#include <string>

// Fills pTables from the database. On failure pTables is left empty and pError
// names the table (and column) that could not be read.
bool ImportTables(CRecordSource& source, CTableSet* pTables, std::string* pError);
