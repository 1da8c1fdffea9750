#include "ChmFile.h"
#include "DataFiles.h"
#include "HelpViewer.h"
#include "HelpWindow.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QTest>

namespace {

// Points the installed-data folder elsewhere for one test.
class DataFolderOverride {
public:
    explicit DataFolderOverride(const QString& folder)
        : saved_(qgetenv("HOURLOOM_DATA_DIR")) {
        qputenv("HOURLOOM_DATA_DIR", QFile::encodeName(folder));
    }
    ~DataFolderOverride() { qputenv("HOURLOOM_DATA_DIR", saved_); }

private:
    QByteArray saved_;
};

QString builtHelpFile() {
    return installedDataFile(kHelpFileName);
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void installedFilesFolder() {
        {
            DataFolderOverride override(QStringLiteral("/opt/elsewhere/"));
            QCOMPARE(installedDataFile("blank.htm"), QStringLiteral("/opt/elsewhere/blank.htm"));
        }
        const QByteArray saved = qgetenv("HOURLOOM_DATA_DIR");
        qunsetenv("HOURLOOM_DATA_DIR");
        const QString beside = installedDataFile(kHelpFileName);
        qputenv("HOURLOOM_DATA_DIR", saved);
        QCOMPARE(beside, QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                         "/../share/hourloom/Hourloom1.chm"));
    }

    void topics_data() {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("heading");
        QTest::newRow("Time Control") << "TimeControl.htm"
                                      << "Time Control";
        QTest::newRow("empty lists") << "EmptyInformation.htm"
                                     << "Getting started: empty lists";
        QTest::newRow("Activity Log") << "ActivityLog.htm"
                                      << "Activity Log";
        QTest::newRow("Time and Settings") << "setup.htm"
                                           << "Time and Settings";
        QTest::newRow("report") << "TimeSheetReport.htm"
                                << "Time Sheet Report";
        QTest::newRow("code lists") << "InformationInputs.htm"
                                    << "Client and work lists";
    }
    void topics() {
        QFETCH(QString, topic);
        QFETCH(QString, heading);
        // The help file was compiled by the build and holds the page.
        std::optional<ChmFile> file = ChmFile::open(builtHelpFile());
        QVERIFY2(file, qPrintable(builtHelpFile()));
        const std::optional<QByteArray> page = file->read(topic);
        QVERIFY(page && page->contains("<h1>" + heading.toUtf8() + "</h1>"));
        // When a window asks for it, the help window shows it.
        QWidget owner;
        HelpViewer viewer;
        viewer.open(&owner, topic);
        QVERIFY(env->prompts.shown.empty());
        QVERIFY(viewer.window() && viewer.window()->isVisible());
        QCOMPARE(viewer.window()->parentWidget(), &owner);
        QCOMPARE(viewer.window()->browser()->documentTitle(), heading);
        QVERIFY(viewer.window()->browser()->toPlainText().size() > 200);
    }

    void linksAndStyleComeFromTheHelpFile() {
        HelpViewer viewer;
        viewer.open(nullptr, "TimeControl.htm");
        HelpBrowser* browser = viewer.window()->browser();
        QVERIFY(!browser->loadResource(QTextDocument::StyleSheetResource, QUrl("help.css"))
                     .toByteArray()
                     .isEmpty());
        emit browser->anchorClicked(QUrl("ActivityLog.htm"));
        QCOMPARE(browser->source(), QUrl("chm:/ActivityLog.htm"));
        QCOMPARE(browser->documentTitle(), QStringLiteral("Activity Log"));
    }

    void oneWindowPerOwner() {
        HelpViewer viewer;
        viewer.open(nullptr, "TimeControl.htm");
        QPointer<HelpWindow> first = viewer.window();
        viewer.open(nullptr, "setup.htm");
        QCOMPARE(viewer.window(), first.data());
        QCOMPARE(first->browser()->documentTitle(), QStringLiteral("Time and Settings"));
        QWidget owner;
        viewer.open(&owner, "setup.htm");
        QVERIFY(!first);
        QCOMPARE(viewer.window()->parentWidget(), &owner);
    }

    void unknownTopicIsTold() {
        HelpViewer viewer;
        viewer.open(nullptr, "NoSuchTopic.htm");
        QCOMPARE(env->prompts.texts(),
                 QStringList{helpTopicMissingText("NoSuchTopic.htm", builtHelpFile())});
        QVERIFY(!viewer.window());
    }

    void missingOrDamagedFileIsTold_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QFile built(builtHelpFile());
        QVERIFY(built.open(QIODevice::ReadOnly));
        const QByteArray whole = built.readAll();
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a help file") << QByteArray("<html>hello</html>\n").repeated(50);
        QTest::newRow("cut short") << whole.left(whole.size() / 3);
        QTest::newRow("header only") << whole.left(96);
    }
    void missingOrDamagedFileIsTold() {
        QFETCH(QByteArray, content);
        DataFolderOverride override(env->dir.path());
        if (!content.isEmpty()) {
            QFile file(env->path(kHelpFileName));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        HelpViewer viewer;
        viewer.open(nullptr, "TimeControl.htm");
        // Either the page is still whole and shown, or the user is told why not.
        if (viewer.window()) {
            QVERIFY(env->prompts.shown.empty());
            QCOMPARE(viewer.window()->browser()->documentTitle(), QStringLiteral("Time Control"));
            return;
        }
        QCOMPARE(env->prompts.shown.size(), size_t(1));
        const QString path = env->path(kHelpFileName);
        QVERIFY(env->prompts.last().text == helpFileUnreadableText(path) ||
                env->prompts.last().text == helpTopicMissingText("TimeControl.htm", path));
        QCOMPARE(env->prompts.last().title, kAppTitle);
        if (content.isEmpty() || !content.startsWith("ITSF"))
            QCOMPARE(env->prompts.last().text, helpFileUnreadableText(path));
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
