#pragma once

#include <QString>

// The fixed texts of the Time and Settings window and its maintenance jobs.
// Lines are separated by CR (character 13).
namespace setup_text {

QString databaseUseQuestion();
inline const QString kDatabaseUseTitle = QStringLiteral("Database Use");
inline const QString kDatabaseFilter = QStringLiteral("Database for Brightmere |*.HL1");
QString openFileMissing(const QString& path);
QString serverSetBySystem(const QString& server);

inline const QString kNoDatabaseTip =
    QStringLiteral("Create or open database.  Select file folder button on the right.");
inline const QString kEmployeeNeeded = QStringLiteral("Employee name or ID is needed");

inline const QString kCloseTitle = QStringLiteral("Database Not Found...      Close Program?");
QString closeQuestion();

QString compactNotFound();
QString compactWarning();
inline const QString kWarningTitle = QStringLiteral("Warning");
inline const QString kCompactCanceled = QStringLiteral("Compacting Canceled");
inline const QString kActionCanceledTitle = QStringLiteral("Action Canceled");
inline const QString kCompactBegin =
    QStringLiteral("Beginning to compact database this may take a few minutes.  Please wait "
                   "for completion message before continuing.");
inline const QString kCompactDone =
    QStringLiteral("Database has now been compacted.  Hourloom is now ready for use");
QString compactFailed(const QString& reason);

QString deleteNotFound();
inline const QString kNothingToDelete = QStringLiteral("No records found to delete");
QString deleteQuestion(int count);
QString deletedMessage(int count);
QString deleteFailed(const QString& reason);

} // namespace setup_text
