#include "FormRegistry.h"
#include "Records.h"
#include "TestEnvironment.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

Q_DECLARE_METATYPE(Form)

namespace {

// The room a control needs to show its whole text. Push, check and option
// buttons draw their text in the style's contents rectangle; date editors
// count by width; a calendar by its minimum size (its day names and month
// names included); a frame by its title; everything else by its size hint.
QSize needs(QWidget* w, const QString& text) {
    QStyle::SubElement contents;
    if (qobject_cast<QPushButton*>(w))
        contents = QStyle::SE_PushButtonContents;
    else if (qobject_cast<QCheckBox*>(w))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<QRadioButton*>(w))
        contents = QStyle::SE_RadioButtonContents;
    else if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap())
        return {w->width(), label->heightForWidth(w->width())};
    else if (qobject_cast<QDateTimeEdit*>(w))
        return {w->sizeHint().width(), w->height()};
    else if (qobject_cast<QCalendarWidget*>(w) || qobject_cast<QGroupBox*>(w))
        return w->minimumSizeHint().expandedTo({0, 0});
    else
        return w->sizeHint();
    QStyleOptionButton option;
    option.initFrom(w);
    option.text = text;
    const QRect room = w->style()->subElementRect(contents, &option, w);
    return w->size() - room.size() + w->fontMetrics().size(Qt::TextShowMnemonic, text);
}

QString textOf(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* editor = qobject_cast<QDateTimeEdit*>(w))
        return editor->text();
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        return frame->title();
    return qobject_cast<QCalendarWidget*>(w) ? QStringLiteral("calendar") : QString();
}

QStringList cutTexts(QWidget* window) {
    QStringList faults;
    const auto check = [&](QWidget* w, const QString& text, QSize need, QSize has) {
        if (need.width() > has.width() || need.height() > has.height())
            faults << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                          .arg(w->objectName(), text)
                          .arg(need.width())
                          .arg(need.height())
                          .arg(has.width())
                          .arg(has.height());
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString text = textOf(w);
        if (text.isEmpty() || w->isWindow() ||
            (qobject_cast<QAbstractButton*>(w) && !w->isVisibleTo(window)))
            continue;
        check(w, text, needs(w, text), w->size());
        const QRect at = w->geometry(); // a control reaching past its parent is cut by it
        check(w, text, {at.right() + 1, at.bottom() + 1}, w->parentWidget()->size());
    }
    for (QHeaderView* header : window->findChildren<QHeaderView*>())
        for (int i = 0; i < header->count() && header->isVisibleTo(window); ++i)
            check(header, header->model()->headerData(i, header->orientation()).toString(),
                  {header->sectionSizeHint(i), 0}, {header->sectionSize(i), 0});
    return faults;
}

} // namespace

// Every caption, heading, button text and date field of every window shows
// its whole text at the platform's default font, in both wordings. With
// HOURLOOM_SHOTS set, each window is also saved there as a picture to look at.
class TestTextFit : public QObject {
    Q_OBJECT
    void verifyFits(QWidget* window) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        if (const QString folder = qEnvironmentVariable("HOURLOOM_SHOTS"); !folder.isEmpty())
            QVERIFY(QDir().mkpath(folder) &&
                    window->grab().save(folder + '/' + QTest::currentDataTag() + ".png"));
        const QStringList faults = cutTexts(window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

private slots:
    void everyTextFits_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("project");
        const char* names[] = {"Time Control", "Activity Log", "Time and Settings",
                               "Report",       "client list",  "work-code list",
                               "About"};
        for (int form = 0; form <= static_cast<int>(Form::About); ++form) {
            QTest::addRow("%s", names[form]) << form << false;
            QTest::addRow("%s, project wording", names[form]) << form << true;
        }
    }
    void everyTextFits() {
        QFETCH(int, form);
        QFETCH(bool, project);
        TestEnvironment env;
        env.clockNow.set(QDateTime(QDate(2026, 11, 29), QTime(10, 47)));
        env.settingsStore->setText(keys::Emp, "Pat");
        env.state.gEmployee = "Pat";
        env.state.gClientLabel = project ? "Project" : "Client";
        if (project) {
            for (const auto& [key, value] : {std::pair{"lblClient1", "Project"},
                                             {"lblClient2", "Number"},
                                             {"Frame2", "Project Information"}})
                settings().write("frmControl", key, value);
        }
        store::Database& db = env.openNewDatabase();
        db.exec("INSERT INTO tblClient VALUES (10, 'Acme'); INSERT INTO tblClient VALUES (11, "
                "'Globex'); INSERT INTO tblWork VALUES (8, 'Build');");
        const QDateTime now = env.clockNow.now();
        for (const QDateTime& end : {now.addSecs(-600), now.addDays(-5)})
            store::appendRecord(db, {now, end.addSecs(-3600), end, 10, "Acme", 8, "Build", "Pat"});
        FormRegistry registry;
        verifyFits(registry.load(static_cast<Form>(form)));
    }
};

QTEST_MAIN(TestTextFit)
#include "test_text_fit.moc"
