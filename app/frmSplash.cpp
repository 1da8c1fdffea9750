#include "frmSplash.h"

#include "ProgramIcon.h"
#include "Services.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

QString splashNotice() {
    return QStringLiteral("Version %1. Your time records stay in an encrypted database "
                          "that only Hourloom opens.")
        .arg(QStringLiteral(HOURLOOM_VERSION));
}

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(kAppTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);

    auto* picLogo = new QLabel(Frame1);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(programPicture(96));

    auto* lblProductName = new QLabel(QStringLiteral("Hourloom"), Frame1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    lblProductName->setFont(big);

    auto* lblTagLine = new QLabel(QStringLiteral("About time"), Frame1);
    lblTagLine->setObjectName(QStringLiteral("lblTagLine"));

    auto* lblNotice = new QLabel(splashNotice(), Frame1);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProductName);
    texts->addWidget(lblTagLine);
    texts->addStretch();
    texts->addWidget(lblNotice);
    auto* inFrame = new QHBoxLayout(Frame1);
    inFrame->addWidget(picLogo);
    inFrame->addLayout(texts, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Frame1);
    resize(420, 160);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setSingleShot(true);
    Timer1_->setInterval(kSplashMilliseconds);
    connect(Timer1_, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1_->start();
}

void frmSplash::Timer1_Timer() {
    Timer1_->stop();
    close();
    if (QWidget* control = forms().find(Form::Control)) {
        control->raise();
        control->activateWindow();
    }
}

void frmSplash::closeEvent(QCloseEvent* event) {
    // However the splash goes (its tick or the user closing it early), the
    // Time Control window comes up exactly once.
    if (!handedOver_) {
        handedOver_ = true;
        forms().show(Form::Control);
    }
    event->accept();
}
