#pragma once

// In server mode (gServer set), connects to the server and takes the name it
// records this login under as gEmployee; a login that is neither an employee
// nor the administrator is refused. Otherwise opens the database file named
// by gDataBaseLoc and gDataBaseName (creating it first when the folder holds
// no file spelled exactly so). The result becomes the shared gDataBase.
// Throws store::DbError naming the server or file and the reason; the
// previous database stays open when the new one fails.
void ConnectDataBase();
