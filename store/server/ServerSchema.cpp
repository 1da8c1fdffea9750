#include "ServerSchema.h"

#include "PgConnection.h"
#include "Records.h"

#include <sqlite3.h>

namespace store::server {

namespace {

// Names are written without quotes, so PostgreSQL keeps them in lower case and
// "SELECT * FROM tblTimeSheet" works as typed. Text fields are citext with the
// "C" collation: compared without regard to case and sorted as the file's
// NOCASE columns are, in every query, without each query having to say so.
// RecordId, after the file's eight fields, is the stable key a window holds
// while a record is shown; it never changes, not even when the administrator
// compacts the tables (which would move a ctid).
//
// Functions and triggers name every object with its schema (operators too:
// citext's case-blind ones live in public) and search pg_temp last, so no
// one can slip a table of their own in front of them.
constexpr const char* kSchema = R"sql(
CREATE EXTENSION IF NOT EXISTS citext WITH SCHEMA public;

DO $roles$ BEGIN
  BEGIN
    CREATE ROLE hourloom_employee NOLOGIN;
  EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
  END;
  BEGIN
    CREATE ROLE hourloom_lead NOLOGIN;
  EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
  END;
END $roles$;

CREATE TABLE IF NOT EXISTS public.hourloom_schema (version integer NOT NULL);

CREATE TABLE IF NOT EXISTS public.tblClient (
  ClientNumber integer,
  ClientName public.citext COLLATE "C" CONSTRAINT ClientName_1_to_255
    CHECK (char_length(ClientName) BETWEEN 1 AND 255)
);
CREATE TABLE IF NOT EXISTS public.tblTimeSheet (
  Date timestamp(0) without time zone,
  BeginTime timestamp(0) without time zone,
  EndTime timestamp(0) without time zone,
  ClientNumber integer,
  ClientName public.citext COLLATE "C" CONSTRAINT ClientName_1_to_255
    CHECK (char_length(ClientName) BETWEEN 1 AND 255),
  WorkCode integer,
  WorkDescription public.citext COLLATE "C" CONSTRAINT WorkDescription_1_to_255
    CHECK (char_length(WorkDescription) BETWEEN 1 AND 255),
  Employee public.citext COLLATE "C" CONSTRAINT Employee_1_to_255
    CHECK (char_length(Employee) BETWEEN 1 AND 255),
  RecordId bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY
);
CREATE TABLE IF NOT EXISTS public.tblWork (
  WorkCode integer,
  WorkDescription public.citext COLLATE "C" CONSTRAINT WorkDescription_1_to_255
    CHECK (char_length(WorkDescription) BETWEEN 1 AND 255)
);
CREATE INDEX IF NOT EXISTS idxTimeSheetEmployeeEnd ON public.tblTimeSheet (Employee, EndTime);
-- The begin index also carries what a report sums, so a report reads the
-- index alone and never the scattered rows of one employee in the table.
CREATE INDEX IF NOT EXISTS idxTimeSheetEmployeeBegin ON public.tblTimeSheet (Employee, BeginTime)
  INCLUDE (EndTime, ClientNumber, ClientName, WorkCode, WorkDescription);

-- Which employee each login records as. One name per login, one login per name.
CREATE TABLE IF NOT EXISTS public.hourloom_login (
  Login name PRIMARY KEY,
  Employee public.citext COLLATE "C" NOT NULL UNIQUE CONSTRAINT Employee_1_to_255
    CHECK (char_length(Employee) BETWEEN 1 AND 255)
);

CREATE OR REPLACE FUNCTION public.hourloom_employee_name() RETURNS public.citext
  LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp
  AS $fn$ SELECT Employee FROM public.hourloom_login WHERE Login = current_user $fn$;

-- The server, not the client, decides whose record a row is. An employee's
-- row carries the name of their login (filled in when the client sends none,
-- refused when it names someone else); the tables' owner, the administrator,
-- keeps the name it sends (migration copies every employee's records).
CREATE OR REPLACE FUNCTION public.hourloom_stamp_employee() RETURNS trigger
  LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp
  AS $fn$
DECLARE
  mapped public.citext := public.hourloom_employee_name();
BEGIN
  IF pg_has_role(current_user, (SELECT relowner FROM pg_class WHERE oid = TG_RELID), 'MEMBER') THEN
    NEW.Employee := coalesce(NEW.Employee, mapped);
    RETURN NEW;
  END IF;
  IF mapped IS NULL THEN
    RAISE EXCEPTION 'the login % is not an Hourloom employee', current_user
      USING ERRCODE = 'insufficient_privilege',
            HINT = 'The administrator adds it with: hourloom-cli server add-employee';
  END IF;
  IF NEW.Employee IS NOT NULL AND NEW.Employee OPERATOR(public.<>) mapped THEN
    RAISE EXCEPTION 'the login % records only as "%", not as "%"', current_user, mapped, NEW.Employee
      USING ERRCODE = 'insufficient_privilege';
  END IF;
  NEW.Employee := mapped;
  RETURN NEW;
END
$fn$;

DROP TRIGGER IF EXISTS hourloom_stamp_employee ON public.tblTimeSheet;
CREATE TRIGGER hourloom_stamp_employee BEFORE INSERT OR UPDATE ON public.tblTimeSheet
  FOR EACH ROW EXECUTE FUNCTION public.hourloom_stamp_employee();

-- Row-level security: an employee reads, adds, corrects and deletes only their
-- own records; a lead reads everyone's and may purge anyone's. The name is
-- looked up once per statement (the subquery), not once per row.
ALTER TABLE public.tblTimeSheet ENABLE ROW LEVEL SECURITY;
DROP POLICY IF EXISTS own_records ON public.tblTimeSheet;
CREATE POLICY own_records ON public.tblTimeSheet TO hourloom_employee
  USING (Employee = (SELECT public.hourloom_employee_name()))
  WITH CHECK (Employee = (SELECT public.hourloom_employee_name()));
DROP POLICY IF EXISTS lead_reads_all ON public.tblTimeSheet;
CREATE POLICY lead_reads_all ON public.tblTimeSheet FOR SELECT TO hourloom_lead USING (true);
DROP POLICY IF EXISTS lead_purges_all ON public.tblTimeSheet;
CREATE POLICY lead_purges_all ON public.tblTimeSheet FOR DELETE TO hourloom_lead USING (true);

-- The code lists are shared, as in the file; the schema belongs to the administrator.
GRANT SELECT ON public.hourloom_schema, public.hourloom_login TO hourloom_employee, hourloom_lead;
GRANT SELECT, INSERT, DELETE ON public.tblClient, public.tblWork TO hourloom_employee, hourloom_lead;
GRANT SELECT, INSERT, DELETE ON public.tblTimeSheet TO hourloom_employee, hourloom_lead;
GRANT UPDATE (Date, BeginTime, EndTime, ClientNumber, ClientName, WorkCode, WorkDescription,
              Employee) ON public.tblTimeSheet TO hourloom_employee, hourloom_lead;
REVOKE ALL ON FUNCTION public.hourloom_stamp_employee() FROM PUBLIC;
)sql";

void requireSchemaVersion(Connection& server) {
    Result version = server.exec("SELECT max(version) FROM public.hourloom_schema");
    if (version.isNull(0, 0)) {
        server.exec("INSERT INTO public.hourloom_schema (version) VALUES ($1)",
                    Params() << kSchemaVersion);
        return;
    }
    if (version.int64(0, 0) > kSchemaVersion)
        throw DbError(SQLITE_ERROR,
                      QStringLiteral("The %1 holds Hourloom tables of version %2; this program "
                                     "knows version %3 and leaves them as they are.")
                          .arg(server.location())
                          .arg(version.int64(0, 0))
                          .arg(kSchemaVersion));
}

void requireLogin(const QString& login) {
    // PostgreSQL cuts role names at 63 bytes; a longer login would name another role.
    if (login.isEmpty() || login.toUtf8().size() > 63)
        throw DbError(SQLITE_CONSTRAINT,
                      QStringLiteral("The login \"%1\" cannot be used: a login has 1 to 63 bytes.")
                          .arg(login));
}

} // namespace

void serverInit(const QString& url) {
    Connection server(url);
    Transaction transaction(server);
    server.execScript(kSchema);
    requireSchemaVersion(server);
    transaction.commit();
}

void addEmployee(const QString& url, const QString& login, const QString& name, bool lead) {
    requireLogin(login);
    requireStorableText(QStringLiteral("The employee name"), name);
    Connection server(url);
    const QByteArray role = server.quotedIdentifier(login);
    Transaction transaction(server);
    // Two administrators may add the same login at once (roles belong to the
    // whole server, not to one database): the second finds it made.
    server.exec("SAVEPOINT new_login");
    try {
        server.exec("CREATE ROLE " + role + " LOGIN");
        server.exec("RELEASE SAVEPOINT new_login");
    } catch (const DbError&) {
        server.exec("ROLLBACK TO SAVEPOINT new_login");
        if (server.exec("SELECT 1 FROM pg_roles WHERE rolname = $1", Params() << login).rows() == 0)
            throw;
    }
    server.exec(QByteArray("GRANT ") + kEmployeeRole + " TO " + role);
    server.exec(QByteArray(lead ? "GRANT " : "REVOKE ") + kLeadRole + (lead ? " TO " : " FROM ") +
                role);
    server.exec("INSERT INTO public.hourloom_login (Login, Employee) VALUES ($1, $2) "
                "ON CONFLICT (Login) DO UPDATE SET Employee = EXCLUDED.Employee",
                Params() << login << name);
    transaction.commit();
}

} // namespace store::server
