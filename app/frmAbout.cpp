#include "frmAbout.h"

#include "ProgramIcon.h"
#include "Services.h"
#include "SystemInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

QString versionText(const QString& version) {
    QStringList parts = version.split(QLatin1Char('.'));
    while (parts.size() < 3)
        parts << QStringLiteral("0");
    return QStringLiteral("Version ") + parts.mid(0, 3).join(QLatin1Char('.'));
}

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Hourloom"));
    setWindowIcon(programIcon());

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(programPicture(64));

    auto* lblTitle = new QLabel(QStringLiteral("Hourloom"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    lblTitle->setFont(big);

    auto* lblVersion = new QLabel(versionText(QStringLiteral(HOURLOOM_VERSION)), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    auto* lblDescription =
        new QLabel(QStringLiteral("Records working time by client and kind of work, reminds "
                                  "you to record it, and reports it."),
                   this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAccessibleName(QStringLiteral("System Info"));
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::cmdSysInfo_Click() {
    const QString tool = findSystemInfoTool();
    if (tool.isEmpty() || !QProcess::startDetached(tool, {}))
        prompter().message(this, kSystemInfoUnavailable, kAppTitle, MsgIcon::None, MsgButtons::Ok);
}
