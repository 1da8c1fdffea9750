#pragma once

// Opens the database named by gDataBaseLoc and gDataBaseName (creating it
// first when the folder holds no file spelled exactly so) and makes it the
// shared gDataBase. Throws store::DbError; the previous database stays open
// when the new one fails.
void ConnectDataBase();
