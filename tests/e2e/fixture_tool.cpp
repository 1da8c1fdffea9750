// Writes <folder>/report.htm for known rows with the program's own store and
// report code, so that what the browser test checks is what the program writes.
//   e2e_fixture <folder>
#include "Records.h"
#include "ReportPage.h"
#include "ReportQuery.h"
#include "ReportSums.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

store::ActivityRecord record(int day, int hour, int minutes, int client, const QString& clientName,
                             int work, const QString& workName) {
    const QDateTime begin(QDate(2024, 3, 4 + day), QTime(hour, 0));
    const QDateTime end = begin.addSecs(minutes * 60);
    return {end, begin, end, client, clientName, work, workName, QStringLiteral("Pat")};
}

} // namespace

// Names that would run script if the page copied them unescaped, and one
// that a browser shows right only if it reads the page as UTF-8.
int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: e2e_fixture <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QFile::remove(folder.filePath(QStringLiteral("report.HL1")));
    try {
        store::Database db = store::connectDataBase(folder.filePath(QStringLiteral("report.HL1")),
                                                    QStringLiteral("report.HL1"));
        const QString acme = QStringLiteral("Café Acme");
        for (const store::ActivityRecord& r :
             {record(0, 9, 90, 10, acme, 8, QStringLiteral("Build")),
              record(1, 9, 15, 10, acme, 8, QStringLiteral("Build")),
              record(0, 13, 70, 11,
                     QStringLiteral(
                         "<script>document.body.setAttribute('data-ran','client')</script>"),
                     9, QStringLiteral("Design & \"Review\"")),
              record(0, 15, 45, 12,
                     QStringLiteral("<img src=x onerror=\"document.body.setAttribute('data-ran',"
                                    "'image')\">"),
                     9, QStringLiteral("Design"))})
            store::appendRecord(db, r);
        const QDate monday(2024, 3, 4);
        const ReportCriteria criteria{monday, monday.addDays(6), false, QStringLiteral("Pat")};
        const ReportPageTexts texts{QStringLiteral("Initech <i>Ltd</i>"), QStringLiteral("Pat"),
                                    QStringLiteral("Client"), false, false};
        QFile page(folder.filePath(QStringLiteral("report.htm")));
        if (page.open(QIODevice::WriteOnly) &&
            page.write(reportPage(texts, store::reportRows(db, criteria))) >= 0)
            return 0;
        std::fprintf(stderr, "cannot write %s\n", qPrintable(page.fileName()));
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
    }
    return 1;
}
