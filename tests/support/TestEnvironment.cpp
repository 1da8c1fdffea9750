#include "TestEnvironment.h"

#include "Schema.h"

#include <QDir>

TestEnvironment::TestEnvironment()
    : clockNow(QDateTime(QDate(2026, 3, 11), QTime(9, 0))) {
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    QDir().mkpath(dir.filePath(QStringLiteral("data")));
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toUtf8());
    settingsStore = std::make_unique<Settings>(dir.filePath(QStringLiteral("config/hourloom.ini")));
    services() = Services{&state, settingsStore.get(), &clockNow, &prompts, &help, &windows};
}

TestEnvironment::~TestEnvironment() {
    windows.destroyAll();
    windows.factories.clear();
    services() = Services{};
}

store::Database& TestEnvironment::openNewDatabase(const QString& name) {
    const QString file = path(name);
    state.gDataBaseLoc = file;
    state.gDataBaseName = name;
    settingsStore->setText(keys::gDataBaseLoc, file);
    settingsStore->setText(keys::gDataBaseName, name);
    state.gDataBase = std::make_unique<store::FileStore>(store::connectDataBase(file, name));
    return db();
}

store::Database& TestEnvironment::db() {
    auto* file = dynamic_cast<store::FileStore*>(state.gDataBase.get());
    if (!file)
        qFatal("the test has no database file open");
    return file->database();
}
