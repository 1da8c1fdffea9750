#pragma once

#include "Database.h"
#include "Store.h"

#include <vector>

namespace store {

// The sums of a report from a database file, ordered by client name and work
// description (daily: by day first). A record belongs to the range by its
// BeginTime alone, from 00:00 of the first day up to and including 00:00 of
// the day after the last day; a record is summed whole under the day it
// began. Names compare without regard to case, as the code lists and the
// employee name do everywhere.
std::vector<ReportRow> reportRows(Database& db, const ReportCriteria& criteria);

// Adds the index that holds every field the report reads, in the order it
// reads them, unless the file has it: a report then reads the index alone,
// never the records. It changes no result, so a file that cannot take it
// now (read-only, or held by another copy) is used without it.
void ensureReportIndex(Database& db);

} // namespace store
