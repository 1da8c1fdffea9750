#include "FormRegistry.h"
#include "HelpWindow.h"
#include "Records.h"
#include "TestEnvironment.h"
#include "frmSplash.h"

#include <QAbstractButton>
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
#include <QStyleOptionGroupBox>
#include <QTableView>
#include <QTest>

Q_DECLARE_METATYPE(Form)

namespace {

QString sizeText(const QSize& size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QString fault(const QWidget* w, const QString& text, const QSize& needs, const QSize& has) {
    return QStringLiteral("%1 \"%2\" needs %3, has %4")
        .arg(w->objectName(), text, sizeText(needs), sizeText(has));
}

// The room a control's text needs, as its own size hint reckons it (text
// width, the style's margins and frame, a date editor's buttons), against
// the room it has; and the control against the room its parent gives it.
void checkControl(QWidget* w, const QString& text, QSize needs, QStringList& faults) {
    if (needs.width() > w->width() || needs.height() > w->height())
        faults << fault(w, text, needs, w->size());
    const QWidget* parent = w->parentWidget();
    const QRect at = w->geometry();
    if (parent && !w->isWindow() && !parent->rect().contains(at))
        faults << fault(w, text + QStringLiteral(" (beyond its parent)"),
                        QSize(at.right() + 1, at.bottom() + 1), parent->size());
}

void checkLabel(QLabel* label, QStringList& faults) {
    if (label->text().isEmpty())
        return;
    const QSize needs = label->wordWrap()
                            ? QSize(label->width(), label->heightForWidth(label->width()))
                            : label->sizeHint();
    checkControl(label, label->text(), needs, faults);
}

// Push buttons, check boxes and option buttons draw their text in the
// style's contents rectangle; tool buttons need their size hint.
void checkButton(QAbstractButton* button, QStringList& faults) {
    const QStyle* style = button->style();
    QRect contents;
    if (auto* push = qobject_cast<QPushButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        contents = style->subElementRect(QStyle::SE_PushButtonContents, &option, push);
    } else if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        contents =
            style->subElementRect(qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                                                   : QStyle::SE_RadioButtonContents,
                                  &option, button);
    } else {
        checkControl(button, button->text(), button->sizeHint(), faults);
        return;
    }
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    const QSize needs(button->width() - contents.width() + text.width(),
                      button->height() - contents.height() + text.height());
    checkControl(button, button->text(), needs, faults);
}

void checkGroupBox(QGroupBox* box, QStringList& faults) {
    if (box->title().isEmpty())
        return;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const int needs = box->fontMetrics().horizontalAdvance(box->title());
    if (label.width() < needs || label.right() >= box->width())
        faults << fault(box, box->title(), QSize(label.x() + needs, label.height()), box->size());
}

void checkHeadings(QHeaderView* header, QStringList& faults) {
    if (header->isHidden())
        return;
    for (int i = 0; i < header->count(); ++i) {
        const QString text = header->model()->headerData(i, header->orientation()).toString();
        const int needs = header->sectionSizeHint(i);
        if (!text.isEmpty() && !header->isSectionHidden(i) && needs > header->sectionSize(i))
            faults << fault(header, text, QSize(needs, header->height()),
                            QSize(header->sectionSize(i), header->height()));
    }
}

// The day names a calendar paints in the first row of its day grid, in bold.
void checkDayNames(QCalendarWidget* calendar, QStringList& faults) {
    auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    if (!days || calendar->horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader)
        return;
    QFont bold = days->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (int column = 0; column < days->model()->columnCount(); ++column) {
        const QString name = days->model()->index(0, column).data().toString();
        // A cell draws its text inside a margin of the style's frame width.
        const int needs = metrics.horizontalAdvance(name) + 2;
        if (needs > days->columnWidth(column))
            faults << fault(days, name, QSize(needs, days->rowHeight(0)),
                            QSize(days->columnWidth(column), days->rowHeight(0)));
    }
}

QStringList cutTexts(QWidget* window) {
    QStringList faults;
    for (QLabel* label : window->findChildren<QLabel*>())
        checkLabel(label, faults);
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (!button->text().isEmpty() && button->isVisibleTo(window))
            checkButton(button, faults);
    // A date editor's own size hint is the width its longest date needs.
    for (QDateTimeEdit* editor : window->findChildren<QDateTimeEdit*>())
        checkControl(editor, editor->text(), QSize(editor->sizeHint().width(), editor->height()),
                     faults);
    for (QCalendarWidget* calendar : window->findChildren<QCalendarWidget*>())
        checkControl(calendar, calendar->selectedDate().toString(), calendar->minimumSizeHint(),
                     faults);
    for (QGroupBox* box : window->findChildren<QGroupBox*>())
        checkGroupBox(box, faults);
    for (QHeaderView* header : window->findChildren<QHeaderView*>())
        checkHeadings(header, faults);
    for (QCalendarWidget* calendar : window->findChildren<QCalendarWidget*>())
        checkDayNames(calendar, faults);
    return faults;
}

} // namespace

// Every caption, heading, button text and date field of every window shows
// its whole text at the platform's default font. With HOURLOOM_SHOTS set,
// each window is also saved there as a picture, to be looked at.
class TestTextFit : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

    void fillDatabase() {
        store::Database& db = env->openNewDatabase();
        db.exec("INSERT INTO tblClient VALUES (10, 'Acme'); INSERT INTO tblClient VALUES (11, "
                "'Globex'); INSERT INTO tblWork VALUES (8, 'Build');"
                "INSERT INTO tblWork VALUES (9, 'Design');");
        const QDateTime now = env->clockNow.now();
        store::appendRecord(
            db, {now, now.addSecs(-5400), now.addSecs(-600), 10, "Acme", 8, "Build", "Pat"});
        store::appendRecord(db, {now, now.addDays(-5), now.addDays(-5).addSecs(3600), 11, "Globex",
                                 9, "Design", "Pat"});
    }
    void look(QWidget* window, const QString& name) {
        const QString folder = qEnvironmentVariable("HOURLOOM_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QVERIFY(window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))));
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->clockNow.set(QDateTime(QDate(2026, 11, 29), QTime(10, 47)));
        env->settingsStore->setText(keys::Emp, "Pat");
        env->state.gEmployee = "Pat";
        env->state.gClientLabel = "Client";
        fillDatabase();
    }
    void cleanup() { env.reset(); }

    void everyTextFits_data() {
        QTest::addColumn<Form>("form");
        QTest::addColumn<bool>("project");
        const std::pair<Form, const char*> forms[] = {{Form::Control, "Time Control"},
                                                      {Form::Clock, "Activity Log"},
                                                      {Form::Setup, "Time and Settings"},
                                                      {Form::Report, "Report"},
                                                      {Form::Client, "client list"},
                                                      {Form::Work, "work-code list"},
                                                      {Form::About, "About"}};
        for (const auto& [form, name] : forms) {
            QTest::addRow("%s", name) << form << false;
            QTest::addRow("%s, project wording", name) << form << true;
        }
    }
    void everyTextFits() {
        QFETCH(Form, form);
        QFETCH(bool, project);
        if (project) {
            settings().write("frmControl", "lblClient1", "Project");
            settings().write("frmControl", "lblClient2", "Number");
            settings().write("frmControl", "Frame2", "Project Information");
            env->state.gClientLabel = "Project";
            env->state.lLabel = 2;
        }
        FormRegistry registry;
        QWidget* window = registry.load(form);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        look(window, QString::fromLatin1(QTest::currentDataTag()));
        const QStringList faults = cutTexts(window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void splashAndHelpTextsFit() {
        frmSplash splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        look(&splash, "splash");
        QVERIFY2(cutTexts(&splash).isEmpty(),
                 qPrintable(cutTexts(&splash).join(QLatin1Char('\n'))));
        QWidget owner;
        HelpWindow help(&owner);
        help.show();
        QVERIFY2(cutTexts(&help).isEmpty(), qPrintable(cutTexts(&help).join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestTextFit)
#include "test_text_fit.moc"
