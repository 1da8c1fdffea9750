#pragma once

#include "FileStore.h"
#include "Services.h"
#include "TestDoubles.h"

#include <QTemporaryDir>
#include <memory>

// Everything one test needs, fresh: a temporary folder used as the per-user
// config and data folders, an empty settings file, a fixed clock, a scripted
// prompter, no help windows and recorded window requests. Installs itself as
// the program's services and removes itself on destruction.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    QString path(const QString& name) const { return dir.filePath(name); }
    // Creates a database in the temporary folder, opens it as gDataBase and
    // points the settings at it. Gives its connection, for fixtures in SQL.
    store::Database& openNewDatabase(const QString& name = QStringLiteral("Hourloom.HL1"));
    // The open database's connection (a test fails when none is open).
    store::Database& db();

    QTemporaryDir dir;
    AppState state;
    std::unique_ptr<Settings> settingsStore;
    FixedClock clockNow;
    ScriptedPrompter prompts;
    NoHelp help;
    RecordingForms windows;
};
