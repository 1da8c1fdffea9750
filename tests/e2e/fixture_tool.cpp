// Writes <folder>/report.htm for known rows with the program's own store and
// report code, so that what the browser test checks is what the program writes.
//   e2e_fixture report <folder>
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

store::ActivityRecord record(const QDateTime& begin, int minutes, int client,
                             const QString& clientName, int work, const QString& workName) {
    const QDateTime end = begin.addSecs(minutes * 60);
    return {end, begin, end, client, clientName, work, workName, QStringLiteral("Pat")};
}

store::Database freshDatabase(const QString& file) {
    QFile::remove(file);
    const QFileInfo info(file);
    QDir().mkpath(info.absolutePath());
    return store::connectDataBase(info.absoluteFilePath(), info.fileName());
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

    const ReportCriteria criteria{monday, monday.addDays(6), false, QStringLiteral("Pat")};
    const ReportPageTexts texts{QStringLiteral("Initech <i>Ltd</i>"), QStringLiteral("Pat"),
                                QStringLiteral("Client"), false, false};
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
        if (args.size() == 3 && args[1] == QLatin1String("report"))
            return makeReport(args[2]);
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    std::fprintf(stderr, "usage: e2e_fixture report <folder>\n");
    return 2;
}
