#pragma once

#include <QString>

namespace store::server {

// The version of the tables, roles and rules that serverInit lays down; a
// later change raises it and migrates what an older version left.
constexpr int kSchemaVersion = 1;

// The group roles: every employee's login is a member of kEmployeeRole; a
// lead's login also of kLeadRole.
inline constexpr const char* kEmployeeRole = "hourloom_employee";
inline constexpr const char* kLeadRole = "hourloom_lead";

// Lays down, in one transaction, the three tables with the file's fields in
// the file's order (plus a record key after them), their indexes, the
// schema-version table, the table naming the employee of each login, the two
// group roles and the row-level security that limits every employee to their
// own records. Run by the database's administrator, who then owns the tables;
// running it again changes nothing that is already in place. Throws DbError
// with the server's reason.
void serverInit(const QString& url);

// Lets `login` record as the employee `name`: creates the login role when it
// does not exist (without a password: libpq's own means authenticate it),
// makes it a member of the employee role (and of the lead role when `lead`,
// else not), and maps the login to the name. Run by the administrator.
void addEmployee(const QString& url, const QString& login, const QString& name, bool lead);

} // namespace store::server
