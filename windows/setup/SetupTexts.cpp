#include "SetupTexts.h"

#include <QStringList>

namespace setup_text {

namespace {
QString lines(const QStringList& parts) {
    return parts.join(QChar(13));
}
} // namespace

QString databaseUseQuestion() {
    return lines({QStringLiteral("Create database? "), QStringLiteral("Yes for new Database."),
                  QStringLiteral(" -Use a network drive if planning to share file."), QString(),
                  QStringLiteral("No to open existing Hourloom 1.1 database."),
                  QStringLiteral(" -Hourloom database file has *.hl1 file extention.")});
}

QString openFileMissing(const QString& path) {
    return lines({QStringLiteral("Database was not opened."),
                  QStringLiteral("The file %1 does not exist.").arg(path)});
}

QString serverSetBySystem(const QString& server) {
    return lines({QStringLiteral("Hourloom records on the %1.").arg(server),
                  QStringLiteral("The administrator of this computer set it up; ask them to "
                                 "use a database file instead.")});
}

QString closeQuestion() {
    return lines({QStringLiteral("Close Program?"), QStringLiteral("Database was not opened."),
                  QString(), QStringLiteral("Yes to EXIT"), QString(),
                  QStringLiteral("No to go back to Hourloom program."),
                  QStringLiteral(" - After selecting No either OPEN or CREATE a *.hl1 database "
                                 "file."),
                  QStringLiteral("  - Use the button with open file folder icon.")});
}

QString compactNotFound() {
    return lines({QStringLiteral("Database not found."), QStringLiteral("Compacting halted."),
                  QStringLiteral("  - Open database using button with open file folder icon."),
                  QStringLiteral(" - Also note that new databases do not need to be compacted.")});
}

QString compactWarning() {
    return lines({QStringLiteral("Suggest that a back-up of the existing database."),
                  QStringLiteral("Also suggest all users of the database exit out of Hourloom "
                                 "until compacting is completed."),
                  QString(), QStringLiteral("Continoue?")});
}

QString compactFailed(const QString& reason) {
    return lines({QStringLiteral("The database was NOT compacted."), reason,
                  QStringLiteral("The database file was left as it was.")});
}

QString deleteNotFound() {
    return lines({QStringLiteral("Database not found."), QStringLiteral("Deleting halted."),
                  QStringLiteral("  - Open database using button with open file folder icon."),
                  QStringLiteral(" - Also note that new databases do not need to have old "
                                 "records deleted.")});
}

QString deleteQuestion(int count) {
    return QStringLiteral("Permenently delete ") + QString::number(count) +
           QStringLiteral(" records from database?");
}

QString deletedMessage(int count) {
    return QString::number(count) +
           QStringLiteral(" records were deleted from database.  You may want to compress "
                          "database now.");
}

QString deleteFailed(const QString& reason) {
    return lines({QStringLiteral("No records were deleted."), reason});
}

} // namespace setup_text
