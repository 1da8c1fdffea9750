#include "TestEnvironment.h"

#include <QFile>
#include <QTest>

namespace {

// Writes one raw line under a section of the INI file, as a hand edit would.
void writeRaw(const QString& file, const QByteArray& section, const QByteArray& line) {
    QFile ini(file);
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[" + section + "]\n" + line + "\n");
}

QByteArray fileText(const QString& file) {
    QFile ini(file);
    return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    Settings& store() { return *env->settingsStore; }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void emptyStoreGivesTheDefaults() {
        QCOMPARE(store().text(keys::gDataBaseLoc), env->path("data/hourloom/Hourloom.HL1"));
        QCOMPARE(store().text(keys::gDataBaseName), QString("Hourloom.HL1"));
        QCOMPARE(store().int32(keys::DaysOld), 90);
        QCOMPARE(store().int32(keys::lLabel), 1);
        QCOMPARE(store().int16(keys::intMinTimer), qint16(15));
        QCOMPARE(store().text(keys::lblClient2), QString("Client Number"));
        QCOMPARE(store().boolean(keys::lstClient2Vis), true);
        QCOMPARE(store().boolean(keys::lstWork2Vis), true);
        QCOMPARE(store().int32(keys::lstClient1Wit), 2055);
        QCOMPARE(store().int32(keys::lstWork1Wit), 1800);
        QCOMPARE(store().text(keys::strBeginWork), QString("8:00:00 AM"));
        QCOMPARE(store().text(keys::Emp), QString(" "));
        QCOMPARE(store().text(keys::Comp), QString(""));
        QCOMPARE(store().text(keys::sExport), env->path("data/hourloom/"));
        QCOMPARE(store().int32(keys::chkDaily), 0);
        // Reading writes nothing
        QVERIFY(!fileText(store().fileName()).contains("="));
    }

    void valuesThatCannotBeReadGiveTheDefault_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("minutes");
        QTest::newRow("a word") << QByteArray("intMinTimer=often") << 15;
        QTest::newRow("empty") << QByteArray("intMinTimer=") << 15;
        QTest::newRow("beyond 16 bits") << QByteArray("intMinTimer=70000") << 15;
        QTest::newRow("huge exponent") << QByteArray("intMinTimer=1e400") << 15;
        QTest::newRow("number then text") << QByteArray("intMinTimer=20min") << 15;
        QTest::newRow("plain number") << QByteArray("intMinTimer=20") << 20;
        QTest::newRow("blanks around") << QByteArray("intMinTimer=\" 30 \"") << 30;
        QTest::newRow("negative") << QByteArray("intMinTimer=-5") << -5;
        QTest::newRow("half rounds to even") << QByteArray("intMinTimer=12.5") << 12;
    }
    void valuesThatCannotBeReadGiveTheDefault() {
        QFETCH(QByteArray, line);
        QFETCH(int, minutes);
        writeRaw(store().fileName(), "frmControl", line);
        Settings reread(store().fileName());
        QCOMPARE(int(reread.int16(keys::intMinTimer)), minutes);
    }

    void booleansAreStoredAsTrueAndFalse_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("value");
        QTest::newRow("True") << QByteArray("lstClient2Vis=True") << true;
        QTest::newRow("False") << QByteArray("lstClient2Vis=False") << false;
        QTest::newRow("lower case") << QByteArray("lstClient2Vis=false") << false;
        QTest::newRow("zero") << QByteArray("lstClient2Vis=0") << false;
        QTest::newRow("minus one") << QByteArray("lstClient2Vis=-1") << true;
        QTest::newRow("a word gives the default") << QByteArray("lstClient2Vis=maybe") << true;
    }
    void booleansAreStoredAsTrueAndFalse() {
        QFETCH(QByteArray, line);
        QFETCH(bool, value);
        writeRaw(store().fileName(), "frmControl", line);
        Settings reread(store().fileName());
        QCOMPARE(reread.boolean(keys::lstClient2Vis), value);
    }

    void writtenValuesAreTextAndReadBackExactly() {
        store().setBool(keys::lstWork2Vis, false);
        store().setInt(keys::intMinTimer, 25);
        store().setText(keys::Emp, " ");
        store().setText(keys::Comp, "Smith, Jones & Co; \"Ltd\"");
        store().setText(keys::gDataBaseLoc, "/mnt/share/time sheets/Hourloom.HL1");
        const QByteArray text = fileText(store().fileName());
        QVERIFY2(text.contains("lstWork2Vis=False"), text.constData());
        QVERIFY2(text.contains("intMinTimer=25"), text.constData());

        Settings reread(store().fileName());
        QCOMPARE(reread.boolean(keys::lstWork2Vis), false);
        QCOMPARE(reread.int16(keys::intMinTimer), qint16(25));
        QCOMPARE(reread.text(keys::Emp), QString(" "));
        QCOMPARE(reread.text(keys::Comp), QString("Smith, Jones & Co; \"Ltd\""));
        QCOMPARE(reread.text(keys::gDataBaseLoc), QString("/mnt/share/time sheets/Hourloom.HL1"));
    }

    void handWrittenListReadsBackAsOneText() {
        writeRaw(store().fileName(), "frmReportCriteria", "Comp=Smith, Jones");
        Settings reread(store().fileName());
        QCOMPARE(reread.text(keys::Comp), QString("Smith, Jones"));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
