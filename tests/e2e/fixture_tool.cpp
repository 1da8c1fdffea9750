// Prepares files for the end-to-end scripts, using the program's own store and
// report code so that what the scripts check is what the program writes.
//   e2e_fixture database <file.HL1>      a new database with two clients,
//                                         two work codes and one record
//   e2e_fixture report <folder>           <folder>/report.htm for known rows
#include "CodeTables.h"
#include "Records.h"
#include "ReportPage.h"
#include "ReportQuery.h"
#include "ReportSums.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

void addCodes(store::Database& db, const QList<QPair<int, QString>>& clients,
              const QList<QPair<int, QString>>& works) {
    for (const auto& [number, name] : clients)
        store::addCodeEntry(db, store::CodeTable::Client, {number, name});
    for (const auto& [code, description] : works)
        store::addCodeEntry(db, store::CodeTable::Work, {code, description});
}

store::ActivityRecord record(const QDateTime& begin, int minutes, int client,
                             const QString& clientName, int work, const QString& workName) {
    store::ActivityRecord r;
    r.date = begin.addSecs(minutes * 60);
    r.beginTime = begin;
    r.endTime = r.date;
    r.clientNumber = client;
    r.clientName = clientName;
    r.workCode = work;
    r.workDescription = workName;
    r.employee = QStringLiteral("Pat");
    return r;
}

store::Database freshDatabase(const QString& file) {
    QFile::remove(file);
    const QFileInfo info(file);
    QDir().mkpath(info.absolutePath());
    return store::connectDataBase(info.absoluteFilePath(), info.fileName());
}

int makeDatabase(const QString& file) {
    store::Database db = freshDatabase(file);
    addCodes(db, {{10, QStringLiteral("Acme")}, {11, QStringLiteral("Globex")}},
             {{8, QStringLiteral("Build")}, {9, QStringLiteral("Design")}});
    store::appendRecord(db, record(QDateTime(QDate(2024, 3, 4), QTime(9, 0)), 90, 10,
                                   QStringLiteral("Acme"), 8, QStringLiteral("Build")));
    return 0;
}

// Names that would run script if the page copied them unescaped, and one
// that a browser shows right only if it reads the page as UTF-8.
int makeReport(const QString& folder) {
    store::Database db = freshDatabase(QDir(folder).filePath(QStringLiteral("report.HL1")));
    const QString scriptName =
        QStringLiteral("<script>document.body.setAttribute('data-ran','client')</script>");
    const QString imageName =
        QStringLiteral("<img src=x onerror=\"document.body.setAttribute('data-ran','image')\">");
    const QDate monday(2024, 3, 4);
    for (const store::ActivityRecord& r :
         {record(QDateTime(monday, QTime(9, 0)), 90, 10, QStringLiteral("Café Acme"), 8,
                 QStringLiteral("Build")),
          record(QDateTime(monday.addDays(1), QTime(9, 0)), 15, 10, QStringLiteral("Café Acme"), 8,
                 QStringLiteral("Build")),
          record(QDateTime(monday, QTime(13, 0)), 70, 11, scriptName, 9,
                 QStringLiteral("Design & \"Review\"")),
          record(QDateTime(monday, QTime(15, 0)), 45, 12, imageName, 9, QStringLiteral("Design"))})
        store::appendRecord(db, r);

    ReportCriteria criteria;
    criteria.from = monday;
    criteria.to = monday.addDays(6);
    criteria.employee = QStringLiteral("Pat");
    ReportPageTexts texts;
    texts.company = QStringLiteral("Initech <i>Ltd</i>");
    texts.employee = QStringLiteral("Pat");
    texts.clientLabel = QStringLiteral("Client");
    QFile page(QDir(folder).filePath(QStringLiteral("report.htm")));
    if (!page.open(QIODevice::WriteOnly) ||
        page.write(reportPage(texts, store::reportRows(db, criteria))) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(page.fileName()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    try {
        if (args.size() == 3 && args[1] == QLatin1String("database"))
            return makeDatabase(args[2]);
        if (args.size() == 3 && args[1] == QLatin1String("report"))
            return makeReport(args[2]);
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    std::fprintf(stderr, "usage: e2e_fixture database <file> | report <folder>\n");
    return 2;
}
