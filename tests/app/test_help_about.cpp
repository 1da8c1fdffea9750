// The help window and the About box.
#include "ChmFile.h"
#include "DataFiles.h"
#include "HelpViewer.h"
#include "HelpWindow.h"
#include "SystemInfo.h"
#include "TestEnvironment.h"
#include "frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestHelpAbout : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    const QByteArray dataDir = qgetenv("HOURLOOM_DATA_DIR"), path = qgetenv("PATH");

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() {
        qputenv("HOURLOOM_DATA_DIR", dataDir);
        qputenv("PATH", path);
        env.reset();
    }

    void aboutBoxShowsNameVersionAndStartsSystemInfo() {
        QCOMPARE(versionText("1.0.0"), QStringLiteral("Version 1.0.0"));
        QCOMPARE(versionText("2.3"), QStringLiteral("Version 2.3.0"));
        QCOMPARE(versionText("1.2.3.4"), QStringLiteral("Version 1.2.3"));
        frmAbout about;
        QCOMPARE(about.findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Hourloom"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(),
                 versionText(QStringLiteral(HOURLOOM_VERSION)));
        auto* ok = about.findChild<QPushButton*>("cmdOK");
        auto* sysInfo = about.findChild<QPushButton*>("cmdSysInfo");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(!ok->accessibleName().isEmpty() && !sysInfo->accessibleName().isEmpty());
        about.show();
        ok->click();
        QVERIFY(!about.isVisible());
        // System Info starts the first known tool on the path, or says there is none
        qputenv("PATH", QFile::encodeName(env->dir.path()));
        const auto makeTool = [&](const QString& name) {
            QFile tool(env->path(name));
            QVERIFY(tool.open(QIODevice::WriteOnly) && tool.write("#!/bin/sh\n") > 0);
            tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        };
        sysInfo->click();
        QCOMPARE(env->prompts.texts(),
                 QStringList{"System Information Is Unavailable At This Time"});
        QCOMPARE(env->prompts.last().buttons, MsgButtons::Ok);
        makeTool("gnome-system-monitor");
        QCOMPARE(findSystemInfoTool(), env->path("gnome-system-monitor"));
        makeTool("kinfocenter");
        QCOMPARE(findSystemInfoTool(), env->path("kinfocenter"));
        QCOMPARE(findSystemInfoTool({"unrelated-missing"}), QString());
        sysInfo->click();
        QCOMPARE(env->prompts.shown.size(), size_t(1));
    }

    // Every topic is in the built help file and shown in its owner's one help
    // window; a link moves within that window, with the help style sheet.
    void everyTopicIsShownInTheOwnersHelpWindow() {
        const std::pair<QString, QString> topics[] = {
            {"TimeControl.htm", "Time Control"},
            {"EmptyInformation.htm", "Getting started: empty lists"},
            {"ActivityLog.htm", "Activity Log"},
            {"setup.htm", "Time and Settings"},
            {"TimeSheetReport.htm", "Time Sheet Report"},
            {"InformationInputs.htm", "Client and work lists"},
        };
        std::optional<ChmFile> file = ChmFile::open(installedDataFile(kHelpFileName));
        QVERIFY(file);
        QWidget owner, other;
        HelpViewer viewer;
        for (const auto& [topic, heading] : topics) {
            const std::optional<QByteArray> page = file->read(topic);
            QVERIFY2(page && page->contains("<h1>" + heading.toUtf8() + "</h1>"),
                     qPrintable(topic));
            viewer.open(&owner, topic);
            QVERIFY(viewer.window() && viewer.window()->isVisible());
            QCOMPARE(viewer.window()->parentWidget(), &owner);
            QCOMPARE(viewer.window()->browser()->documentTitle(), heading);
            QVERIFY(viewer.window()->browser()->toPlainText().size() > 200);
        }
        QPointer<HelpWindow> first = viewer.window();
        HelpBrowser* browser = first->browser();
        QVERIFY(!browser->loadResource(QTextDocument::StyleSheetResource, QUrl("help.css"))
                     .toByteArray()
                     .isEmpty());
        emit browser->anchorClicked(QUrl("ActivityLog.htm"));
        QCOMPARE(browser->source(), QUrl("chm:/ActivityLog.htm"));
        QCOMPARE(browser->documentTitle(), QStringLiteral("Activity Log"));
        viewer.open(&other, "setup.htm");
        QVERIFY(!first);
        QCOMPARE(viewer.window()->parentWidget(), &other);
        QVERIFY(env->prompts.shown.empty());
    }

    void unknownTopicOrMissingOrDamagedFileIsTold() {
        HelpViewer viewer;
        viewer.open(nullptr, "NoSuchTopic.htm");
        QCOMPARE(env->prompts.texts(), QStringList{helpTopicMissingText(
                                           "NoSuchTopic.htm", installedDataFile(kHelpFileName))});
        QVERIFY(!viewer.window());
        QFile built(installedDataFile(kHelpFileName));
        QVERIFY(built.open(QIODevice::ReadOnly));
        const QByteArray whole = built.readAll();
        qputenv("HOURLOOM_DATA_DIR", QFile::encodeName(env->dir.path()));
        const QString path = env->path(kHelpFileName);
        // Missing, not a help file, cut short, header only
        for (const QByteArray& content :
             {QByteArray(), QByteArray("<html>hi</html>\n").repeated(50),
              whole.left(whole.size() / 3), whole.left(96)}) {
            env->prompts.shown.clear();
            QFile file(path);
            QVERIFY(content.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(content)));
            file.close();
            viewer.open(nullptr, "TimeControl.htm");
            // Either the page is still whole and shown, or the user is told why not
            const QString told = env->prompts.texts().join('|');
            if (told.isEmpty())
                QCOMPARE(viewer.window()->browser()->documentTitle(),
                         QStringLiteral("Time Control"));
            else
                QVERIFY2(told == helpFileUnreadableText(path) ||
                             (content.startsWith("ITSF") &&
                              told == helpTopicMissingText("TimeControl.htm", path)),
                         qPrintable(told));
            QVERIFY(told.isEmpty() || env->prompts.last().title == QStringLiteral("Hourloom"));
        }
    }
};

QTEST_MAIN(TestHelpAbout)
#include "test_help_about.moc"
