#include "chrome/frmPrefs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/Recovery.h"
#include "documents/frmDocRTF.h"
#include "platform/AppPaths.h"
#include "platform/SettingsStore.h"
#include "platform/UiServices.h"

namespace {

const QString Preview = QStringLiteral("ABC xyz 0123");

QString prefsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
}

QString mainItemsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmMain\\Items");
}

QString read(const QString &name, const QString &def)
{
    return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, prefsKey(), name, def);
}

void write(const QString &name, const QString &value)
{
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, prefsKey(), name, value);
}

// "1", "-1" and "True" (any case) are on; the check values are written as "1"/"0".
bool isOn(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok && n != 0;
}

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *textLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *l = named(new QLabel(text, parent), name);
    l->setWordWrap(true);
    return l;
}

QComboBox *fontBox(const char *name, QWidget *parent)
{
    auto *box = named(new QComboBox(parent), name);
    // Stored names the machine lacks ("FIXEDSYS") still show and are kept.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QFrame *framed(const char *name, QWidget *parent)
{
    auto *f = named(new QFrame(parent), name);
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

} // namespace

const QStringList &frmPrefs::fontSizes()
{
    static const QStringList sizes{
        QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"),
        QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"),
        QStringLiteral("20"), QStringLiteral("22"), QStringLiteral("24"), QStringLiteral("26"),
        QStringLiteral("28"), QStringLiteral("36"), QStringLiteral("48"), QStringLiteral("72")};
    return sizes;
}

frmPrefs::frmPrefs(clsMain &cmd, QWidget *parent) : QDialog(parent), m_cmd(cmd)
{
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(QStringLiteral("Preferences"));

    TABSTRIP1 = named(new QTabBar(this), "TABSTRIP1");
    for (const auto &[caption, key] :
         {std::pair{"General", "GENERAL"}, std::pair{"Spelling", "SPELLING"},
          std::pair{"Fonts", "FONTS"}}) {
        const int at = TABSTRIP1->addTab(QString::fromLatin1(caption));
        TABSTRIP1->setTabData(at, QString::fromLatin1(key));
    }

    // General: wrapping, template, profile folder.
    FRAMDOCUMENTS = framed("FRAMDOCUMENTS", this);
    LBLWRAP = textLabel("LBLWRAP", QString(), FRAMDOCUMENTS);
    OPTWRAPNO =
        named(new QRadioButton(QStringLiteral("&No Word Wrap."), FRAMDOCUMENTS), "OPTWRAPNO");
    OPTWRAPWIN = named(new QRadioButton(QStringLiteral("Word Wrap to &Window."), FRAMDOCUMENTS),
                       "OPTWRAPWIN");
    OPTWRAPRUL = named(new QRadioButton(QStringLiteral("Word Wrap to &Ruler."), FRAMDOCUMENTS),
                       "OPTWRAPRUL");
    auto *wrapGroup = new QButtonGroup(FRAMDOCUMENTS);
    for (QRadioButton *o : {OPTWRAPNO, OPTWRAPWIN, OPTWRAPRUL})
        wrapGroup->addButton(o);
    LBLNEW = textLabel("LBLNEW",
                       QStringLiteral("If you would prefer to open a different template than the "
                                      "default blank document then select below."),
                       FRAMDOCUMENTS);
    LBLNEWDEFFLDR = textLabel("LBLNEWDEFFLDR", QStringLiteral("&Folder:"), FRAMDOCUMENTS);
    TXTBTN = named(new QLineEdit(FRAMDOCUMENTS), "TXTBTN");
    BTNTEMPLATE = named(new QToolButton(FRAMDOCUMENTS), "BTNTEMPLATE");
    BTNTEMPLATE->setText(QStringLiteral("..."));
    LBLNEWDEFFLDR->setBuddy(TXTBTN);
    LBLFOLDER = textLabel("LBLFOLDER",
                          QStringLiteral("This gives you the option of setting where you want the "
                                         "auto loading profile file to be located."),
                          FRAMDOCUMENTS);
    LBLFLDLCN = textLabel("LBLFLDLCN", QStringLiteral("F&older:"), FRAMDOCUMENTS);
    CBOFOLDERBRWS = named(new QLineEdit(FRAMDOCUMENTS), "CBOFOLDERBRWS");
    BTNFOLDER = named(new QToolButton(FRAMDOCUMENTS), "BTNFOLDER");
    BTNFOLDER->setText(QStringLiteral("..."));
    LBLFLDLCN->setBuddy(CBOFOLDERBRWS);
    LBLRECOVERY = textLabel("LBLRECOVERY",
                            QStringLiteral("Keep a recovery cop&y of changed documents every:"),
                            FRAMDOCUMENTS);
    LBLRECOVERY->setWordWrap(false);
    UDNRECOVERY = named(new QSpinBox(FRAMDOCUMENTS), "UDNRECOVERY");
    UDNRECOVERY->setRange(0, 24 * 3600);
    UDNRECOVERY->setSuffix(QStringLiteral(" seconds"));
    UDNRECOVERY->setSpecialValueText(QStringLiteral("Never"));
    LBLRECOVERY->setBuddy(UDNRECOVERY);
    {
        auto *g = new QGridLayout(FRAMDOCUMENTS);
        g->addWidget(LBLWRAP, 0, 0, 1, 3);
        g->addWidget(OPTWRAPNO, 1, 0, 1, 3);
        g->addWidget(OPTWRAPWIN, 2, 0, 1, 3);
        g->addWidget(OPTWRAPRUL, 3, 0, 1, 3);
        g->addWidget(LBLNEW, 4, 0, 1, 3);
        g->addWidget(LBLNEWDEFFLDR, 5, 0);
        g->addWidget(TXTBTN, 5, 1);
        g->addWidget(BTNTEMPLATE, 5, 2);
        g->addWidget(LBLFOLDER, 6, 0, 1, 3);
        g->addWidget(LBLFLDLCN, 7, 0);
        g->addWidget(CBOFOLDERBRWS, 7, 1);
        g->addWidget(BTNFOLDER, 7, 2);
        auto *recovery = new QHBoxLayout;
        recovery->addWidget(LBLRECOVERY);
        recovery->addWidget(UDNRECOVERY);
        recovery->addStretch(1);
        g->addLayout(recovery, 8, 0, 1, 3);
        g->setColumnStretch(1, 1);
        g->setRowStretch(9, 1);
    }

    // Spelling: when the dictionary loads, which words are let through.
    FRAMSPELLING = framed("FRAMSPELLING", this);
    LBLDIC = textLabel("LBLDIC", QString(), FRAMSPELLING);
    OPTSTARTUP = named(new QRadioButton(QStringLiteral("Allow &") + Identity::AppTitle +
                                            QStringLiteral(" to load dictionary at startup."),
                                        FRAMSPELLING),
                       "OPTSTARTUP");
    OPTFIRSTUSE = named(new QRadioButton(QStringLiteral("Allow &dictionary to be loaded at first "
                                                        "use of Spell Checker."),
                                         FRAMSPELLING),
                        "OPTFIRSTUSE");
    auto *loadGroup = new QButtonGroup(FRAMSPELLING);
    loadGroup->addButton(OPTSTARTUP);
    loadGroup->addButton(OPTFIRSTUSE);
    LBLCUST = textLabel("LBLCUST", QString(), FRAMSPELLING);
    CHKCUSTNOS = named(new QCheckBox(QStringLiteral("Ignore words with nu&mbers."), FRAMSPELLING),
                       "CHKCUSTNOS");
    CHKCUSTUCASE = named(
        new QCheckBox(QStringLiteral("Ignore words with &uppercase characters."), FRAMSPELLING),
        "CHKCUSTUCASE");
    CHKCUSTCHARS =
        named(new QCheckBox(QStringLiteral("Ignore words with &special characters."), FRAMSPELLING),
              "CHKCUSTCHARS");
    CHKSPELLTYPING =
        named(new QCheckBox(QStringLiteral("Check spelling as you &type."), FRAMSPELLING),
              "CHKSPELLTYPING");
    LBLSPELLLANG = named(new QLabel(QStringLiteral("&Word list:"), FRAMSPELLING), "LBLSPELLLANG");
    CBOSPELLLANG = named(new QComboBox(FRAMSPELLING), "CBOSPELLLANG");
    CBOSPELLLANG->addItem(QStringLiteral("From the language setting"), QString());
    CBOSPELLLANG->addItem(QStringLiteral("British English"), QStringLiteral("en_GB"));
    CBOSPELLLANG->addItem(QStringLiteral("American English"), QStringLiteral("en_US"));
    LBLSPELLLANG->setBuddy(CBOSPELLLANG);
    {
        auto *v = new QVBoxLayout(FRAMSPELLING);
        for (QWidget *w :
             std::initializer_list<QWidget *>{LBLDIC, OPTSTARTUP, OPTFIRSTUSE, LBLCUST, CHKCUSTNOS,
                                              CHKCUSTUCASE, CHKCUSTCHARS, CHKSPELLTYPING})
            v->addWidget(w);
        auto *lang = new QHBoxLayout;
        lang->addWidget(LBLSPELLLANG);
        lang->addWidget(CBOSPELLLANG, 1);
        v->addLayout(lang);
        v->addStretch(1);
    }

    // Fonts: new Normal documents and text files.
    FRAMFONTS = framed("FRAMFONTS", this);
    LBLRTFFNT = textLabel("LBLRTFFNT",
                          QStringLiteral("The fonts selected below will be used when a new Normal "
                                         "document is created."),
                          FRAMFONTS);
    CBOFNTNM = fontBox("CBOFNTNM", FRAMFONTS);
    CBOFNTSZ = fontBox("CBOFNTSZ", FRAMFONTS);
    LBLRTFPREV = textLabel("LBLRTFPREV", Preview, FRAMFONTS);
    LBLTXTFNT = textLabel("LBLTXTFNT",
                          QStringLiteral("When opening a document that has no formatting ie. *.txt "
                                         "document then this font will be used."),
                          FRAMFONTS);
    CBOFNTNMTXT = fontBox("CBOFNTNMTXT", FRAMFONTS);
    CBOFNTSZTXT = fontBox("CBOFNTSZTXT", FRAMFONTS);
    LBLTXTPREV = textLabel("LBLTXTPREV", Preview, FRAMFONTS);
    for (QLabel *preview : {LBLRTFPREV, LBLTXTPREV}) {
        preview->setWordWrap(false);
        preview->setFrameShape(QFrame::Panel);
        preview->setFrameShadow(QFrame::Sunken);
        preview->setAlignment(Qt::AlignCenter);
        preview->setMinimumHeight(48);
    }
    {
        auto *g = new QGridLayout(FRAMFONTS);
        auto buddy = [this](const QString &caption, QWidget *box) {
            auto *l = new QLabel(caption, FRAMFONTS);
            l->setBuddy(box);
            return l;
        };
        g->addWidget(LBLRTFFNT, 0, 0, 1, 4);
        g->addWidget(buddy(QStringLiteral("&Font name:"), CBOFNTNM), 1, 0);
        g->addWidget(CBOFNTNM, 1, 1);
        g->addWidget(buddy(QStringLiteral("Font &size:"), CBOFNTSZ), 1, 2);
        g->addWidget(CBOFNTSZ, 1, 3);
        g->addWidget(LBLRTFPREV, 2, 0, 1, 4);
        g->addWidget(LBLTXTFNT, 3, 0, 1, 4);
        g->addWidget(buddy(QStringLiteral("F&ont name:"), CBOFNTNMTXT), 4, 0);
        g->addWidget(CBOFNTNMTXT, 4, 1);
        g->addWidget(buddy(QStringLiteral("Fo&nt size:"), CBOFNTSZTXT), 4, 2);
        g->addWidget(CBOFNTSZTXT, 4, 3);
        g->addWidget(LBLTXTPREV, 5, 0, 1, 4);
        g->setColumnStretch(1, 1);
        g->setRowStretch(6, 1);
    }

    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNOK->setDefault(true);
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");

    auto *pages = new QStackedLayout;
    for (QFrame *f : {FRAMDOCUMENTS, FRAMSPELLING, FRAMFONTS})
        pages->addWidget(f);
    auto *left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(TABSTRIP1);
    left->addLayout(pages, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(BTNOK);
    right->addWidget(BTNCANCEL);
    right->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    setMinimumSize(520, 380);

    loadValues();
    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);

    connect(TABSTRIP1, &QTabBar::currentChanged, this,
            [pages](int index) { pages->setCurrentIndex(index); });
    for (QRadioButton *o : {OPTWRAPNO, OPTWRAPWIN, OPTWRAPRUL, OPTSTARTUP, OPTFIRSTUSE})
        connect(o, &QRadioButton::toggled, this, &frmPrefs::changed);
    for (QCheckBox *c : {CHKCUSTNOS, CHKCUSTUCASE, CHKCUSTCHARS, CHKSPELLTYPING})
        connect(c, &QCheckBox::toggled, this, &frmPrefs::changed);
    connect(CBOSPELLLANG, &QComboBox::currentIndexChanged, this, &frmPrefs::changed);
    for (QLineEdit *e : {TXTBTN, CBOFOLDERBRWS})
        connect(e, &QLineEdit::textEdited, this, &frmPrefs::changed);
    connect(UDNRECOVERY, &QSpinBox::valueChanged, this, &frmPrefs::changed);
    auto fontPair = [this](QComboBox *name, QComboBox *size, QLabel *preview) {
        for (QComboBox *box : {name, size})
            connect(box, &QComboBox::currentTextChanged, this, [this, name, size, preview] {
                updatePreview(preview, name, size);
                changed();
            });
    };
    fontPair(CBOFNTNM, CBOFNTSZ, LBLRTFPREV);
    fontPair(CBOFNTNMTXT, CBOFNTSZTXT, LBLTXTPREV);
    connect(BTNTEMPLATE, &QToolButton::clicked, this, &frmPrefs::browseTemplate);
    connect(BTNFOLDER, &QToolButton::clicked, this, &frmPrefs::browseFolder);
    connect(BTNOK, &QPushButton::clicked, this, &frmPrefs::okClicked);
    connect(BTNCANCEL, &QPushButton::clicked, this, &frmPrefs::cancelClicked);
}

frmPrefs::~frmPrefs()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmPrefs::selectTab(const QString &key)
{
    for (int i = 0; i < TABSTRIP1->count(); ++i)
        if (TABSTRIP1->tabData(i).toString() == key.toUpper())
            TABSTRIP1->setCurrentIndex(i);
}

QString frmPrefs::currentTab() const
{
    return TABSTRIP1->tabData(TABSTRIP1->currentIndex()).toString();
}

void frmPrefs::loadValues()
{
    const clsLibrary &lib = clsLibrary::instance();
    LBLWRAP->setText(QStringLiteral(
        "When you want you're text to look as it would when printed then check 'Word Wrap to "
        "Ruler' option.  Theres also 'Word Wrap to Window' and if you don't want any wrapping "
        "then select 'No Word Wrap'."));
    LBLDIC->setText(QStringLiteral(
        "The dictionary file can take a while to load. You have the choice here of loading at "
        "startup or loading at the first use of Spell Checker. Loading later means no delay at "
        "start up."));
    LBLCUST->setText(QStringLiteral(
        "The options below give you more chances to find errors within your document. Checking "
        "these boxes will stop spell checker from giving you the error dialog where the "
        "characters occur."));

    CHKCUSTNOS->setChecked(isOn(read(QStringLiteral("Number Check"), QStringLiteral("1"))));
    CHKCUSTUCASE->setChecked(isOn(read(QStringLiteral("Capitals Check"), QStringLiteral("1"))));
    CHKCUSTCHARS->setChecked(isOn(read(QStringLiteral("Character Check"), QStringLiteral("1"))));
    CHKSPELLTYPING->setChecked(
        isOn(read(QStringLiteral("Check As You Type"), QStringLiteral("1"))));
    CBOSPELLLANG->setCurrentIndex(
        std::max(0, CBOSPELLLANG->findData(read(QStringLiteral("Spelling Language"), QString()))));

    const QString wrap = lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, mainItemsKey(),
                                        QStringLiteral("Wrap Text"), QStringLiteral("3"));
    if (wrap.trimmed() == QLatin1String("1"))
        OPTWRAPNO->setChecked(true);
    else if (wrap.trimmed() == QLatin1String("2"))
        OPTWRAPWIN->setChecked(true);
    else
        OPTWRAPRUL->setChecked(true);

    // True: the dictionary loads at the first use of the spelling checker.
    if (isOn(read(QStringLiteral("Spell Check Load"), QStringLiteral("True"))))
        OPTFIRSTUSE->setChecked(true);
    else
        OPTSTARTUP->setChecked(true);

    TXTBTN->setText(read(QStringLiteral("Template"),
                         AppPaths::programFolder() + QStringLiteral("/Normal.rtt")));
    CBOFOLDERBRWS->setText(
        read(QStringLiteral("Files Location"), lib.FILENAMELENCHK(AppPaths::userDataFolder())));
    UDNRECOVERY->setValue(Recovery::intervalSeconds());

    const QStringList families = QFontDatabase::families();
    for (QComboBox *box : {CBOFNTNM, CBOFNTNMTXT})
        box->addItems(families);
    for (QComboBox *box : {CBOFNTSZ, CBOFNTSZTXT})
        box->addItems(fontSizes());
    CBOFNTNM->setCurrentText(read(QStringLiteral("Font Name"), QStringLiteral("TIMES NEW ROMAN")));
    CBOFNTSZ->setCurrentText(read(QStringLiteral("Font Size"), QStringLiteral("10")));
    CBOFNTNMTXT->setCurrentText(read(QStringLiteral("Text Font Name"), QStringLiteral("FIXEDSYS")));
    CBOFNTSZTXT->setCurrentText(read(QStringLiteral("Text Font Size"), QStringLiteral("9")));
    updatePreview(LBLRTFPREV, CBOFNTNM, CBOFNTSZ);
    updatePreview(LBLTXTPREV, CBOFNTNMTXT, CBOFNTSZTXT);

    // Nothing has changed yet.
    BTNOK->setEnabled(false);
}

void frmPrefs::changed()
{
    BTNOK->setEnabled(true);
}

void frmPrefs::updatePreview(QLabel *preview, QComboBox *name, QComboBox *size)
{
    QFont font = preview->font();
    if (!name->currentText().trimmed().isEmpty())
        font.setFamily(name->currentText().trimmed());
    bool ok = false;
    const double points = size->currentText().trimmed().toDouble(&ok);
    if (ok && points >= 1 && points <= 1638)
        font.setPointSizeF(points);
    preview->setFont(font);
}

void frmPrefs::browseTemplate()
{
    // Templates live in the program's folder unless the box names another one.
    QString folder = QFileInfo(TXTBTN->text().trimmed()).absolutePath();
    if (TXTBTN->text().trimmed().isEmpty() || !QFileInfo(folder).isDir())
        folder = AppPaths::programFolder();
    FileDialogRequest request;
    request.title = QStringLiteral("Template");
    request.folder = folder;
    request.fileName = TXTBTN->text().section(QLatin1Char('/'), -1);
    request.filters = {QStringLiteral("Rich Text Template (*.rtt)")};
    const FileDialogResult result = UiServices::instance().openFiles(request);
    if (result.files.isEmpty())
        return;
    const QString chosen = result.files.first();
    // Only a template that exists is taken.
    if (!chosen.section(QLatin1Char('/'), -1).toUpper().endsWith(QLatin1String(".RTT")) ||
        !QFileInfo(chosen).isFile())
        return;
    TXTBTN->setText(chosen);
    changed();
}

void frmPrefs::browseFolder()
{
    const QString folder = UiServices::instance().chooseFolder(
        QStringLiteral("Select the folder of your profile"), CBOFOLDERBRWS->text());
    if (folder.isEmpty())
        return;
    CBOFOLDERBRWS->setText(clsLibrary::instance().FILENAMELENCHK(folder));
    changed();
}

void frmPrefs::okClicked()
{
    auto flag = [](QCheckBox *c) {
        return c->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    {
        SettingsStore::Batch batch(SettingsStore::instance());
        write(QStringLiteral("Number Check"), flag(CHKCUSTNOS));
        write(QStringLiteral("Capitals Check"), flag(CHKCUSTUCASE));
        write(QStringLiteral("Character Check"), flag(CHKCUSTCHARS));
        write(QStringLiteral("Check As You Type"), flag(CHKSPELLTYPING));
        write(QStringLiteral("Spelling Language"), CBOSPELLLANG->currentData().toString());
        write(QStringLiteral("Files Location"), CBOFOLDERBRWS->text().trimmed());
        write(QStringLiteral("Template"), TXTBTN->text().trimmed());
        write(QStringLiteral("Recovery Seconds"), QString::number(UDNRECOVERY->value()));
    }
    // The profile fields follow the folder just stored.
    m_cmd.MYPROFILEUPDATE();
    {
        SettingsStore::Batch batch(SettingsStore::instance());
        write(QStringLiteral("Spell Check Load"),
              OPTFIRSTUSE->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
        write(QStringLiteral("Font Name"), CBOFNTNM->currentText().trimmed());
        write(QStringLiteral("Font Size"), CBOFNTSZ->currentText().trimmed());
        write(QStringLiteral("Text Font Name"), CBOFNTNMTXT->currentText().trimmed());
        write(QStringLiteral("Text Font Size"), CBOFNTSZTXT->currentText().trimmed());
        const QString wrap = OPTWRAPNO->isChecked()    ? QStringLiteral("1")
                             : OPTWRAPWIN->isChecked() ? QStringLiteral("2")
                                                       : QStringLiteral("3");
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, mainItemsKey(),
                                           QStringLiteral("Wrap Text"), wrap);
    }
    // Every open document takes the new wrapping; the active one last, so its buttons are current.
    frmDocRTF *active = m_cmd.ActiveDoc();
    for (frmDocRTF *doc : m_cmd.main().documents())
        if (doc != active)
            doc->MARGINCHK();
    if (active)
        active->MARGINCHK();
    m_cmd.TOOLBARSBUTTONSUPDATE();
    m_cmd.SPELLPREFERENCES();
    accept();
}

void frmPrefs::cancelClicked()
{
    if (frmDocRTF *doc = m_cmd.ActiveDoc())
        doc->MARGINCHK();
    reject();
}
