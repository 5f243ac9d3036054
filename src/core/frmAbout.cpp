#include "core/frmAbout.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "core/Identity.h"
#include "core/clsLibrary.h"

namespace {
QLabel *label(const char *name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    return l;
}

QPixmap logo()
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(30, 70, 140));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 10, 10);
    QFont f;
    f.setPixelSize(38);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("P"));
    return pm;
}
} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + Identity::AppTitle);
    const clsLibrary &lib = clsLibrary::instance();

    LBLTITLE = label("LBLTITLE", this);
    QFont big = LBLTITLE->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    LBLTITLE->setFont(big);
    LBLTITLE->setText(Identity::AppTitle.toUpper());
    LBLVERSNO = label("LBLVERSNO", this);
    LBLVERSNO->setText(lib.GETAPPNUMBER());
    LBLREGNAME = label("LBLREGNAME", this);
    LBLREGNAME->setText(lib.GETCOMPANYNAME());
    LBLREGCO = label("LBLREGCO", this);
    LBLREGCO->setText(lib.GETCOMPANYREG());
    LBLCOPYRIGHT = label("LBLCOPYRIGHT", this);
    LBLCOPYRIGHT->setText(Identity::LegalNotice);
    LBLWRITTEN = label("LBLWRITTEN", this);
    LBLWRITTEN->setText(QStringLiteral("Written and Developed by ") + Identity::CompanyName);
    LBWARNING = label("LBWARNING", this);
    LBWARNING->setText(Identity::CopyWarning);
    IMGLOGO = label("IMGLOGO", this);
    IMGLOGO->setPixmap(logo());
    IMGLOGO->setCursor(Qt::PointingHandCursor);
    IMGLOGO->installEventFilter(this);
    BTNCLOSE = new QPushButton(QStringLiteral("&Close"), this);
    BTNCLOSE->setObjectName(QStringLiteral("BTNCLOSE"));
    BTNCLOSE->setDefault(true);
    connect(BTNCLOSE, &QPushButton::clicked, this, &QDialog::accept);

    auto *grid = new QGridLayout(this);
    grid->addWidget(IMGLOGO, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(LBLTITLE, 0, 1);
    auto *version = new QLabel(QStringLiteral("Version"), this);
    grid->addWidget(version, 1, 1);
    grid->addWidget(LBLVERSNO, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("This product is licensed to:"), this), 2, 1, 1, 2);
    grid->addWidget(LBLREGNAME, 3, 1, 1, 2);
    grid->addWidget(LBLREGCO, 4, 1, 1, 2);
    grid->addWidget(LBLCOPYRIGHT, 5, 1, 1, 2);
    grid->addWidget(LBLWRITTEN, 6, 1, 1, 2);
    grid->addWidget(LBWARNING, 7, 0, 1, 3);
    grid->addWidget(BTNCLOSE, 8, 2, Qt::AlignRight);
    setMinimumWidth(420);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == IMGLOGO && event->type() == QEvent::MouseButtonRelease) {
        emit logoClicked();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
