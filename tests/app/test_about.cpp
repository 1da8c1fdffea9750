#include "SystemInfo.h"
#include "TestEnvironment.h"
#include "frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// Runs the test with PATH set to one folder.
class PathOverride {
public:
    explicit PathOverride(const QString& folder)
        : saved_(qgetenv("PATH")) {
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~PathOverride() { qputenv("PATH", saved_); }

private:
    QByteArray saved_;
};

void makeTool(const QString& path) {
    QFile tool(path);
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\nexit 0\n");
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void version_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("three parts") << "1.0.0"
                                     << "Version 1.0.0";
        QTest::newRow("revision missing") << "2.3"
                                          << "Version 2.3.0";
        QTest::newRow("fourth part dropped") << "1.2.3.4"
                                             << "Version 1.2.3";
    }
    void version() {
        QFETCH(QString, version);
        QFETCH(QString, text);
        QCOMPARE(versionText(version), text);
    }

    void showsNameVersionAndButtons() {
        frmAbout about;
        QCOMPARE(about.findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Hourloom"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(),
                 "Version " + QStringLiteral(HOURLOOM_VERSION).section('.', 0, 2));
        auto* ok = about.findChild<QPushButton*>("cmdOK");
        auto* sysInfo = about.findChild<QPushButton*>("cmdSysInfo");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(!ok->accessibleName().isEmpty() && !sysInfo->accessibleName().isEmpty());
        about.show();
        ok->click();
        QVERIFY(!about.isVisible());
    }

    void firstKnownToolOnPathIsChosen() {
        PathOverride path(env->dir.path());
        QCOMPARE(findSystemInfoTool(), QString());
        makeTool(env->path("gnome-system-monitor"));
        QCOMPARE(findSystemInfoTool(), env->path("gnome-system-monitor"));
        makeTool(env->path("kinfocenter"));
        QCOMPARE(findSystemInfoTool(), env->path("kinfocenter"));
        QCOMPARE(findSystemInfoTool({"unrelated-missing"}), QString());
    }

    void systemInfoWithoutToolIsTold() {
        PathOverride path(env->dir.path());
        frmAbout about;
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QCOMPARE(env->prompts.shown.size(), size_t(1));
        QCOMPARE(env->prompts.last().text, kSystemInfoUnavailable);
        QCOMPARE(env->prompts.last().buttons, MsgButtons::Ok);
        // With a tool on the path it starts and nothing more is said.
        makeTool(env->path("hardinfo"));
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QCOMPARE(env->prompts.shown.size(), size_t(1));
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
