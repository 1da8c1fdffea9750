#include "frmSetup.h"

#include "ConnectDataBase.h"
#include "PathLabel.h"
#include "PictureButton.h"
#include "Records.h"
#include "ReportDbErrors.h"
#include "Schema.h"
#include "ServerBackend.h"
#include "Services.h"
#include "SetupRules.h"
#include "SetupTexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace setup_text;

namespace {

QPushButton* pictureButton(QWidget* owner, const char* name, QStyle::StandardPixmap picture,
                           const QString& tip) {
    return ::pictureButton<QPushButton>(owner, name, tip, owner->style()->standardIcon(picture),
                                        24);
}

QLineEdit* textBox(QWidget* owner, const char* name, const QString& label) {
    auto* box = new QLineEdit(owner);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(label);
    return box;
}

// A caption with its smaller second line, e.g. "Employee ID" "(or name)".
QWidget* caption(QWidget* owner, const QString& text, const QString& note = {}) {
    auto* holder = new QWidget(owner);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new QLabel(text, holder));
    if (!note.isEmpty())
        layout->addWidget(new QLabel(note, holder));
    return holder;
}

// Shows that a long job runs: a wait cursor and a window that takes no input.
class BusyWindow {
public:
    explicit BusyWindow(QWidget* window)
        : window_(window) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        window_->setEnabled(false);
    }
    ~BusyWindow() {
        window_->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    QWidget* window_;
};

// The server and database, or the file, that the settings name.
QString wantedLocation() {
    const AppState& state = appState();
    return state.serverMode() ? store::describeServer(state.gServer) : state.gDataBaseLoc;
}

// A server is always there to try; a file must be.
bool databaseFound() {
    const AppState& state = appState();
    return state.serverMode() || store::databaseFound(state.gDataBaseLoc, state.gDataBaseName);
}

bool isOpen() {
    const AppState& state = appState();
    return state.gDataBase && state.gDataBase->location() == wantedLocation();
}

// The file the settings name is there and opens. A file that is there but
// cannot be opened (damaged, another key, not ours, locked) counts as not
// found when the window closes: start-up would only fail on it again.
bool databaseUsable() {
    if (!databaseFound())
        return false;
    if (isOpen())
        return true;
    try {
        ConnectDataBase();
        return true;
    } catch (const store::DbError&) {
        return false;
    }
}

} // namespace

frmSetup::frmSetup(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Time and Settings"));
    buildControls();
    Form_Load();
}

void frmSetup::buildControls() {
    txtEmp = textBox(this, "txtEmp", QStringLiteral("Employee ID"));
    txtComp = textBox(this, "txtComp", QStringLiteral("Company Name"));
    txtFreq = textBox(this, "txtFreq", QStringLiteral("Time Capture Frequency"));
    txtDaysOld = textBox(this, "txtDaysOld", QStringLiteral("Keep Records"));

    Frame2 = new QGroupBox(QStringLiteral("Lable As"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    optClient = new QRadioButton(QStringLiteral("Client Work"), Frame2);
    optClient->setObjectName(QStringLiteral("optClient"));
    optClient->setAccessibleName(optClient->text());
    optProject = new QRadioButton(QStringLiteral("Project Work"), Frame2);
    optProject->setObjectName(QStringLiteral("optProject"));
    optProject->setAccessibleName(optProject->text());
    auto* options = new QVBoxLayout(Frame2);
    options->addWidget(optClient);
    options->addWidget(optProject);

    lblLocation = new PathLabel(this);
    lblLocation->setObjectName(QStringLiteral("lblLocation"));
    lblLocation->setFrameShape(QFrame::Panel);
    lblLocation->setFrameShadow(QFrame::Sunken);

    cmdDatabase = pictureButton(this, "cmdDatabase", QStyle::SP_DirOpenIcon,
                                QStringLiteral("Create or Open Database File"));
    cmdCompact = pictureButton(this, "cmdCompact", QStyle::SP_DriveHDIcon,
                               QStringLiteral("Compact Database"));
    cmdDelete = pictureButton(this, "cmdDelete", QStyle::SP_TrashIcon,
                              QStringLiteral("Delete Old Records"));
    cmdAdd = pictureButton(this, "cmdAdd", QStyle::SP_DialogApplyButton,
                           QStringLiteral("Accept Changes"));
    cmdHelp = pictureButton(this, "cmdHelp", QStyle::SP_DialogHelpButton, QStringLiteral("Help"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption(this, QStringLiteral("Employee ID"), QStringLiteral("(or name)")), 0,
                    0);
    grid->addWidget(txtEmp, 0, 1, 1, 2);
    grid->addWidget(caption(this, QStringLiteral("Company Name")), 1, 0);
    grid->addWidget(txtComp, 1, 1, 1, 2);
    grid->addWidget(
        caption(this, QStringLiteral("Time Capture Frequency"), QStringLiteral("(in minutes)")), 2,
        0);
    grid->addWidget(txtFreq, 2, 1);
    grid->addWidget(Frame2, 2, 2, 2, 1);
    grid->addWidget(caption(this, QStringLiteral("Keep Records"), QStringLiteral("(in days)")), 3,
                    0);
    grid->addWidget(txtDaysOld, 3, 1);
    grid->addWidget(caption(this, QStringLiteral("(Database Location)")), 4, 0);
    auto* location = new QHBoxLayout;
    location->addWidget(lblLocation, 1);
    location->addWidget(cmdDatabase);
    grid->addLayout(location, 4, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCompact);
    buttons->addWidget(cmdDelete);
    buttons->addStretch(1);
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdHelp);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(cmdAdd, &QPushButton::clicked, this, &frmSetup::cmdAdd_Click);
    connect(cmdDatabase, &QPushButton::clicked, this, &frmSetup::cmdDatabase_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmSetup::cmdHelp_Click);
    connect(cmdCompact, &QPushButton::clicked, this, &frmSetup::cmdCompact_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmSetup::cmdDelete_Click);
}

void frmSetup::Form_Load() {
    AppState& state = appState();
    state.lLabel = settings().int32(keys::lLabel);
    state.gServer = settings().text(keys::Server).trimmed();
    state.gEmployee = state.employeeOr(settings().text(keys::Emp));
    txtComp->setText(settings().text(keys::Comp));
    txtEmp->setText(state.gEmployee);
    // On a server the name belongs to the login: the server records it.
    txtEmp->setReadOnly(state.serverMode() && !state.gServerEmployee.isEmpty());
    txtFreq->setText(settings().text(keys::intMinTimer));
    txtDaysOld->setText(settings().text(keys::DaysOld));
    state.gDataBaseLoc = settings().text(keys::gDataBaseLoc);
    state.gDataBaseName = settings().text(keys::gDataBaseName);
    showLocation();
    optProject->setChecked(state.lLabel != 1);
    optClient->setChecked(state.lLabel == 1);
}

void frmSetup::showLocation() {
    if (databaseFound()) {
        const QString location = wantedLocation();
        lblLocation->setPath(location);
        lblLocation->setToolTip(location);
    } else {
        lblLocation->setPath({});
        lblLocation->setToolTip(kNoDatabaseTip);
    }
}

void frmSetup::cmdAdd_Click() {
    // A frequency the 16-bit setting cannot hold counts as not a number.
    const std::optional<qint16> frequency = captureFrequency(txtFreq->text());
    if (!frequency || !isNumericText(txtDaysOld->text()))
        return;
    // Every record carries the name, and the report shows it in its caption
    // and proposes it as the export file name: refuse what no record can hold.
    if (!txtEmp->text().isEmpty() &&
        !reportDbErrors(this, QStringLiteral("The settings were not saved."), [this] {
            store::requireStorableText(QStringLiteral("The employee name"), txtEmp->text());
        }))
        return;
    AppState& state = appState();
    settings().setText(keys::Comp, txtComp->text());
    if (!txtEmp->text().isEmpty()) {
        state.gEmployee = txtEmp->text();
    } else {
        state.gEmployee = QStringLiteral(" ");
        prompter().message(this, kEmployeeNeeded, kAppTitle, MsgIcon::None, MsgButtons::Ok);
        txtEmp->setText(QStringLiteral(" "));
    }
    if (!txtEmp->isReadOnly())
        settings().setText(keys::Emp, txtEmp->text());
    settings().setText(keys::intMinTimer, txtFreq->text());
    settings().setText(keys::DaysOld, txtDaysOld->text());
    state.intMinTimer = *frequency;

    state.lLabel = optClient->isChecked() ? 1 : 2;
    const Wording wording = wordingFor(state.lLabel);
    settings().setText(keys::lblClient1, wording.lblClient1);
    settings().setText(keys::lblClient2, wording.lblClient2);
    settings().setText(keys::Frame2, wording.frame2);
    settings().setInt(keys::lLabel, state.lLabel);
    close();
}

void frmSetup::cmdDatabase_Click() {
    AppState& state = appState();
    // A server the administrator set for the whole computer stays; one the
    // user chose is left by choosing a file.
    if (state.serverMode() && settings().setBySystem(keys::Server)) {
        prompter().message(this, serverSetBySystem(wantedLocation()), kAppTitle,
                           MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const bool create = prompter().message(this, databaseUseQuestion(), kDatabaseUseTitle,
                                           MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    const QFileInfo current(state.gDataBaseLoc);
    const FileRequest request{QString(), current.path(), current.fileName(), kDatabaseFilter};
    const std::optional<QString> chosen =
        create ? prompter().saveFileName(this, request) : prompter().openFileName(this, request);
    if (!chosen || chosen->isEmpty())
        return;
    const QString path = create ? withDatabaseExtension(*chosen) : *chosen;
    // Opening a name that is not there would quietly create a new database.
    if (!create && !QFileInfo(path).isFile()) {
        prompter().message(this, openFileMissing(path), kAppTitle, MsgIcon::Critical,
                           MsgButtons::Ok);
        return;
    }

    // The settings are written only once the file is open, so they never
    // point at a file that failed.
    const QString previousLoc = state.gDataBaseLoc;
    const QString previousName = state.gDataBaseName;
    const QString previousServer = state.gServer;
    state.gDataBaseLoc = path;
    state.gDataBaseName = QFileInfo(path).fileName();
    state.gServer.clear();
    try {
        ConnectDataBase();
    } catch (const store::DbError& error) {
        state.gDataBaseLoc = previousLoc;
        state.gDataBaseName = previousName;
        state.gServer = previousServer;
        prompter().message(this, error.message(), kAppTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const QString listed = store::listedFileName(path);
    if (!listed.isEmpty())
        state.gDataBaseName = listed;
    settings().setText(keys::gDataBaseLoc, state.gDataBaseLoc);
    settings().setText(keys::gDataBaseName, state.gDataBaseName);
    if (!previousServer.isEmpty()) {
        settings().remove(keys::Server);
        state.gEmployee = settings().text(keys::Emp);
        txtEmp->setText(state.gEmployee);
        txtEmp->setReadOnly(false);
    }
    showLocation();
}

void frmSetup::cmdHelp_Click() {
    help().open(this, QStringLiteral("setup.htm"));
}

store::Store& frmSetup::databaseForMaintenance() {
    if (!isOpen())
        ConnectDataBase();
    return appState().db();
}

void frmSetup::cmdCompact_Click() {
    if (!databaseFound()) {
        prompter().message(this, compactNotFound(), kAppTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    if (appState().serverMode() && !compactsServer())
        return;
    if (prompter().message(this, compactWarning(), kWarningTitle, MsgIcon::Critical,
                           MsgButtons::YesNo) != MsgAnswer::Yes) {
        prompter().message(this, kCompactCanceled, kActionCanceledTitle, MsgIcon::Information,
                           MsgButtons::Ok);
        return;
    }
    prompter().message(this, kCompactBegin, kAppTitle, MsgIcon::None, MsgButtons::Ok);
    try {
        const BusyWindow busy(this);
        databaseForMaintenance().compact();
    } catch (const store::DbError& error) {
        prompter().message(this, compactFailed(error.message()), kAppTitle, MsgIcon::Critical,
                           MsgButtons::Ok);
        return;
    }
    prompter().message(this, kCompactDone, kAppTitle, MsgIcon::None, MsgButtons::Ok);
}

bool frmSetup::compactsServer() {
    try {
        databaseForMaintenance();
    } catch (const store::DbError& error) {
        prompter().message(this, compactFailed(error.message()), kAppTitle, MsgIcon::Critical,
                           MsgButtons::Ok);
        return false;
    }
    if (appState().gServerAdministrator)
        return true;
    prompter().message(this, store::maintainsItself(wantedLocation()), kAppTitle,
                       MsgIcon::Information, MsgButtons::Ok);
    return false;
}

void frmSetup::cmdDelete_Click() {
    if (!databaseFound()) {
        prompter().message(this, deleteNotFound(), kAppTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const std::optional<QDateTime> cutoff = purgeCutoff(appClock().now(), txtDaysOld->text());
    if (!cutoff)
        return;
    const QString employee = appState().gEmployee;
    try {
        store::Store& db = databaseForMaintenance();
        int count = db.countRecordsBefore(employee, *cutoff);
        // The count can change while the question is open (another copy of the
        // program records on a shared file): then the question is asked again
        // with the new number, so what is deleted is always what was agreed to.
        for (;;) {
            if (count == 0) {
                prompter().message(this, kNothingToDelete, kAppTitle, MsgIcon::None,
                                   MsgButtons::Ok);
                return;
            }
            if (prompter().message(this, deleteQuestion(count), kAppTitle, MsgIcon::None,
                                   MsgButtons::OkCancel) != MsgAnswer::Ok)
                return;
            if (const auto deleted = db.purgeRecordsBefore(employee, *cutoff, count)) {
                prompter().message(this, deletedMessage(*deleted), kAppTitle, MsgIcon::None,
                                   MsgButtons::Ok);
                return;
            }
            count = db.countRecordsBefore(employee, *cutoff);
        }
    } catch (const store::DbError& error) {
        prompter().message(this, deleteFailed(error.message()), kAppTitle, MsgIcon::Critical,
                           MsgButtons::Ok);
    }
}

bool frmSetup::Form_QueryUnload(bool usable) {
    if (usable)
        return false;
    return prompter().message(this, closeQuestion(), kCloseTitle, MsgIcon::Critical,
                              MsgButtons::YesNo) == MsgAnswer::No;
}

void frmSetup::Form_Unload(bool usable) {
    if (!usable) {
        forms().endProgram();
        return;
    }
    if (appState().gStartupDone)
        forms().show(Form::Control);
    else
        forms().runMain();
}

void frmSetup::closeEvent(QCloseEvent* event) {
    const bool usable = databaseUsable();
    if (Form_QueryUnload(usable)) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload(usable);
}
