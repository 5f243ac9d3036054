#include "editing/frmFind.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QVBoxLayout>
#include <climits>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "editing/FindHistory.h"
#include "editing/FindReplace.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {

QPointer<frmFind> g_loaded;

// Rows a history box's list shows before it scrolls.
constexpr int HistoryRows = 15;

QStringList comboItems(const QComboBox *box)
{
    QStringList items;
    items.reserve(box->count());
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

bool checkValue(const QString &name, const QString &def)
{
    const QString v = FindHistory::read(name, def).trimmed();
    return v == QLatin1String("1") || v == QLatin1String("-1") ||
           v.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

QString checkText(const QCheckBox *box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// The number the line box's text starts with, as the user typed it; 0 when there is none.
// Numbers too large for the control's positions count as "past the end".
qint64 leadingNumber(const QString &text)
{
    qint64 n = 0;
    for (QChar c : text.trimmed()) {
        if (c < u'0' || c > u'9')
            break;
        n = std::min<qint64>(n * 10 + (c.unicode() - u'0'), qint64(INT_MAX) + 1);
    }
    return n;
}

QComboBox *historyBox(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    // The dialog keeps the lists itself: Enter must not add the text.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setDuplicatesEnabled(true);
    box->setMinimumContentsLength(24);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

} // namespace

frmFind::frmFind(frmMain &main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    g_loaded = this;

    const clsLibrary &lib = clsLibrary::instance();
    lib.FORMLOAD(Identity::AppTitle, this, false);
    if (const QAction *replace = m_main.menuItem(QStringLiteral("MNUEDITREPLACE")))
        CBOREPLACE->setEnabled(replace->isEnabled());
    RESET();

    m_filling = true;
    CHKFINDSAVE->setChecked(checkValue(QStringLiteral("History"), QStringLiteral("1")));
    CHKWORD->setChecked(checkValue(QStringLiteral("Check Whole Word"), QStringLiteral("0")));
    CHKCASE->setChecked(checkValue(QStringLiteral("Check Case"), QStringLiteral("0")));
    for (QPushButton *b : {BTNFIND, BTNREPLACE, BTNREPLACEALL, BTNGOTO})
        b->setEnabled(false);
    setHistory(CBOFIND, FindHistory::load(QStringLiteral("Find")),
               FindHistory::read(QStringLiteral("Last Find")));
    setHistory(CBOREPLACE, FindHistory::load(QStringLiteral("Replace")),
               FindHistory::read(QStringLiteral("Last Replace")));
    setHistory(CBOGOTO, FindHistory::load(QStringLiteral("Go")),
               FindHistory::read(QStringLiteral("Last Go")));
    m_filling = false;

    if (RichTextBox *rtf = activeText(); rtf && !AppState::instance().GoToMode) {
        const QString selection = rtf->SelText();
        if (!selection.isEmpty())
            TAKESELECTION(selection);
    }
    RESET();
    updateButtons();
    comboInit();
}

frmFind::~frmFind()
{
    if (g_loaded == this)
        g_loaded = nullptr;
}

frmFind *frmFind::LOAD(frmMain &main)
{
    if (!g_loaded)
        new frmFind(main);
    return g_loaded;
}

frmFind *frmFind::loaded()
{
    return g_loaded;
}

void frmFind::UNLOAD()
{
    if (frmFind *dialog = g_loaded) {
        dialog->unloadForm();
        delete dialog;
    }
}

void frmFind::buildControls()
{
    LBLFIND = new QLabel(QStringLiteral("Fi&nd what:"), this);
    LBLFIND->setObjectName(QStringLiteral("LBLFIND"));
    CBOFIND = historyBox(this, "CBOFIND");
    LBLFIND->setBuddy(CBOFIND);
    LBLREPLACE = new QLabel(QStringLiteral("Replac&e with:"), this);
    LBLREPLACE->setObjectName(QStringLiteral("LBLREPLACE"));
    CBOREPLACE = historyBox(this, "CBOREPLACE");
    LBLREPLACE->setBuddy(CBOREPLACE);
    LBLGOTO = new QLabel(QStringLiteral("Go &to line :"), this);
    LBLGOTO->setObjectName(QStringLiteral("LBLGOTO"));
    CBOGOTO = historyBox(this, "CBOGOTO");
    LBLGOTO->setBuddy(CBOGOTO);
    // Only digits can be typed (or pasted) into the line box.
    CBOGOTO->lineEdit()->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), CBOGOTO->lineEdit()));
    CBOGOTO->lineEdit()->installEventFilter(this);

    auto check = [this](const char *name, const QString &caption) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    CHKCASE = check("CHKCASE", QStringLiteral("&Match case"));
    CHKWORD = check("CHKWORD", QStringLiteral("Find whole word &only"));
    CHKFINDSAVE = check("CHKFINDSAVE", QStringLiteral("&Save searches"));

    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    BTNFIND = button("BTNFIND", QStringLiteral("&Find Next"));
    BTNFIND->setDefault(true);
    BTNREPLACE = button("BTNREPLACE", QStringLiteral("&Replace"));
    BTNREPLACEALL = button("BTNREPLACEALL", QStringLiteral("Replace &All"));
    BTNGOTO = button("BTNGOTO", QStringLiteral("&Go to"));
    BTNCLOSE = button("BTNCLOSE", QStringLiteral("&Close"));

    TXTSEP1 = new QFrame(this);
    TXTSEP1->setObjectName(QStringLiteral("TXTSEP1"));
    TXTSEP1->setFrameShape(QFrame::HLine);
    TXTSEP1->setFrameShadow(QFrame::Sunken);

    SBSTATUS = new QStatusBar(this);
    SBSTATUS->setObjectName(QStringLiteral("SBSTATUS"));
    SBSTATUS->setSizeGripEnabled(false);
    m_count = new QLabel(SBSTATUS);
    m_count->setObjectName(QStringLiteral("SBSTATUSPANEL1"));
    SBSTATUS->addWidget(m_count, 1);

    auto *grid = new QGridLayout;
    grid->addWidget(LBLFIND, 0, 0);
    grid->addWidget(CBOFIND, 0, 1);
    grid->addWidget(BTNFIND, 0, 2);
    grid->addWidget(LBLREPLACE, 1, 0);
    grid->addWidget(CBOREPLACE, 1, 1);
    grid->addWidget(BTNREPLACE, 1, 2);
    grid->addWidget(BTNREPLACEALL, 2, 2);
    grid->addWidget(LBLGOTO, 3, 0);
    grid->addWidget(CBOGOTO, 3, 1);
    grid->addWidget(BTNGOTO, 3, 2);
    grid->addWidget(TXTSEP1, 4, 0, 1, 3);
    auto *checks = new QVBoxLayout;
    checks->addWidget(CHKCASE);
    checks->addWidget(CHKWORD);
    checks->addWidget(CHKFINDSAVE);
    grid->addLayout(checks, 5, 0, 1, 2);
    grid->addWidget(BTNCLOSE, 5, 2, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addWidget(SBSTATUS);
    outer->setContentsMargins(8, 8, 8, 0);

    // Typing in any of the three boxes starts a new search.
    for (QComboBox *box : {CBOFIND, CBOREPLACE, CBOGOTO}) {
        connect(box, &QComboBox::editTextChanged, this, [this] {
            if (m_filling)
                return;
            RESET();
            updateButtons();
        });
        connect(box, &QComboBox::activated, this, &frmFind::updateButtons);
    }
    connect(CHKCASE, &QCheckBox::clicked, this, &frmFind::RESET);
    connect(CHKWORD, &QCheckBox::clicked, this, &frmFind::RESET);
    connect(BTNFIND, &QPushButton::clicked, this, &frmFind::FINDNEXT);
    connect(BTNREPLACE, &QPushButton::clicked, this, &frmFind::REPLACEONE);
    connect(BTNREPLACEALL, &QPushButton::clicked, this, &frmFind::REPLACEALL);
    connect(BTNGOTO, &QPushButton::clicked, this, &frmFind::GOTOLINE);
    connect(BTNCLOSE, &QPushButton::clicked, this, &QWidget::close);
}

RichTextBox *frmFind::activeText() const
{
    frmDocRTF *doc = m_main.activeDocument();
    return doc ? doc->RTF1 : nullptr;
}

int frmFind::options() const
{
    return FindReplace::optionBits(CHKWORD->isChecked(), CHKCASE->isChecked());
}

QString frmFind::statusText() const
{
    return m_count->text();
}

void frmFind::showCount(int count)
{
    m_count->setText(FindHistory::countText(count));
}

void frmFind::RESET()
{
    AppState &st = AppState::instance();
    st.FindCount = 0;
    st.FindOptions = 0;
    st.FindStart = 0;
    showCount(0);
}

void frmFind::updateButtons()
{
    const bool find = !CBOFIND->currentText().isEmpty();
    BTNFIND->setEnabled(find);
    BTNREPLACE->setEnabled(find);
    BTNREPLACEALL->setEnabled(find);
    CBOREPLACE->setEnabled(find);
    BTNGOTO->setEnabled(!CBOGOTO->currentText().isEmpty());
}

void frmFind::setHistory(QComboBox *box, const QStringList &list, const QString &text)
{
    const bool filling = m_filling;
    m_filling = true;
    box->clear();
    box->addItems(list);
    box->setEditText(text);
    m_filling = filling;
}

void frmFind::useEntry(QComboBox *box, const QString &text)
{
    QStringList list = comboItems(box);
    FindHistory::use(list, text);
    setHistory(box, list, text);
}

void frmFind::TAKESELECTION(const QString &text)
{
    QStringList list = comboItems(CBOFIND);
    FindHistory::offer(list, text);
    setHistory(CBOFIND, list, CBOFIND->currentText());
    // Shown as if typed: a new text starts the count again.
    CBOFIND->setEditText(text);
}

void frmFind::comboInit()
{
    const clsLibrary &lib = clsLibrary::instance();
    for (QComboBox *box : {CBOFIND, CBOREPLACE, CBOGOTO})
        if (box->count() > 0)
            lib.COMBOINIT(box, HistoryRows);
}

void frmFind::FINDNEXT()
{
    const QString text = CBOFIND->currentText();
    if (text.isEmpty()) {
        UiServices::instance().beep();
        comboInit();
        return;
    }
    AppState &st = AppState::instance();
    FindHistory::write(QStringLiteral("Last Find"), text);
    useEntry(CBOFIND, text);
    st.FindOptions = options();
    if (RichTextBox *rtf = activeText()) {
        st.FindStart = rtf->Find(text, st.FindStart, -1, st.FindOptions) + 1;
        if (st.FindStart == 0) {
            clsLibrary::instance().MESSAGEBOX(3, text, QString::number(st.FindCount));
            RESET();
        } else {
            ++st.FindCount;
            showCount(st.FindCount);
        }
    }
    st.SearchDone = true;
    if (QAction *next = m_main.menuItem(QStringLiteral("MNUEDITFINDNEXT")))
        next->setEnabled(true);
    comboInit();
}

void frmFind::FINDAGAIN()
{
    const QString text = FindHistory::read(QStringLiteral("Last Find"));
    if (text.isEmpty()) {
        UiServices::instance().beep();
        return;
    }
    AppState &st = AppState::instance();
    st.FindOptions = options();
    RichTextBox *rtf = activeText();
    if (!rtf)
        return;
    st.FindStart = rtf->Find(text, st.FindStart, -1, st.FindOptions) + 1;
    if (st.FindStart == 0) {
        clsLibrary::instance().MESSAGEBOX(3, text, QString::number(st.FindCount));
        st.FindCount = 0;
        st.FindStart = 0;
    } else {
        ++st.FindCount;
        showCount(st.FindCount);
    }
}

void frmFind::rememberReplace(const QString &find, const QString &replacement)
{
    FindHistory::write(QStringLiteral("Last Find"), find);
    useEntry(CBOFIND, find);
    useEntry(CBOREPLACE, replacement);
    FindHistory::write(QStringLiteral("Last Replace"), replacement);
}

void frmFind::replaceSummary(const QString &find, const QString &replacement)
{
    AppState &st = AppState::instance();
    const QString count = QString::number(st.ReplaceCount);
    if (st.ReplaceCount < 1)
        clsLibrary::instance().MESSAGEBOX(3, find, count);
    else
        clsLibrary::instance().MESSAGEBOX(6, find, replacement, count);
    st.ReplaceCount = 0;
    RESET();
}

void frmFind::REPLACEONE()
{
    const QString find = CBOFIND->currentText();
    const QString replacement = CBOREPLACE->currentText();
    RichTextBox *rtf = activeText();
    if (find.isEmpty() || !rtf) {
        UiServices::instance().beep();
        return;
    }
    AppState &st = AppState::instance();
    rememberReplace(find, replacement);
    if (rtf->isReadOnly()) {
        // A document opened from a read-only file is never changed.
        UiServices::instance().beep();
        comboInit();
        return;
    }
    if (st.FindStart == 0) {
        st.FindOptions = options();
        st.FindStart = rtf->Find(find, 0, -1, st.FindOptions) + 1;
    }
    if (st.FindStart <= 0) {
        replaceSummary(find, replacement);
        comboInit();
        return;
    }
    rtf->setSelText(replacement);
    ++st.ReplaceCount;
    showCount(st.ReplaceCount);
    // The next hit is left selected for the next click; a miss (-1) is reported by it.
    st.FindOptions = options();
    st.FindStart =
        st.FindStart >= INT_MAX ? -1 : rtf->Find(find, st.FindStart + 1, -1, st.FindOptions);
    comboInit();
}

void frmFind::REPLACEALL()
{
    const QString find = CBOFIND->currentText();
    const QString replacement = CBOREPLACE->currentText();
    RichTextBox *rtf = activeText();
    if (find.isEmpty() || !rtf) {
        UiServices::instance().beep();
        return;
    }
    AppState &st = AppState::instance();
    st.ReplaceCount = 0;
    rememberReplace(find, replacement);
    RESET();
    if (rtf->isReadOnly()) {
        UiServices::instance().beep();
        comboInit();
        return;
    }
    st.FindOptions = options();
    st.ReplaceCount = FindReplace::replaceAll(*rtf, find, replacement, st.FindOptions);
    showCount(st.ReplaceCount);
    replaceSummary(find, replacement);
    comboInit();
}

void frmFind::GOTOLINE()
{
    const QString text = CBOGOTO->currentText();
    const qint64 n = leadingNumber(text);
    if (n <= 0) {
        clsLibrary::instance().MESSAGEBOX(8);
        comboInit();
        return;
    }
    useEntry(CBOGOTO, text);
    FindHistory::write(QStringLiteral("Last Go"), text);
    if (RichTextBox *rtf = activeText()) {
        // The control counts lines from 0, the user from 1.
        const int index = n > INT_MAX ? -1 : rtf->GetLineIndex(static_cast<int>(n - 1));
        if (index < 0) {
            const int lines = rtf->GetLineFromChar(static_cast<int>(rtf->Text().size())) + 1;
            clsLibrary::instance().MESSAGEBOX(9, QString::number(lines));
        } else {
            rtf->setSelStart(index);
            rtf->setFocus();
        }
    }
    comboInit();
}

bool frmFind::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the line box goes to the line rather than to the default Find Next.
    if (watched == CBOGOTO->lineEdit() && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (BTNGOTO->isEnabled())
                GOTOLINE();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFind::reject()
{
    close();
}

void frmFind::closeEvent(QCloseEvent *event)
{
    unloadForm();
    event->accept();
}

void frmFind::unloadForm()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    const clsLibrary &lib = clsLibrary::instance();
    lib.FORMSAVE(Identity::AppTitle, this, false);
    auto uncheck = [](QAction *a) {
        if (a)
            a->setChecked(false);
    };
    uncheck(m_main.menuItem(QStringLiteral("MNUEDITFIND")));
    uncheck(m_main.menuItem(QStringLiteral("MNUEDITREPLACE")));
    RESET();
    if (RichTextBox *rtf = activeText())
        rtf->setSelLength(0);

    const bool keep = CHKFINDSAVE->isChecked();
    FindHistory::save(QStringLiteral("Find"), comboItems(CBOFIND), keep, false);
    FindHistory::save(QStringLiteral("Replace"), comboItems(CBOREPLACE), keep, true);
    FindHistory::save(QStringLiteral("Go"), comboItems(CBOGOTO), keep, false);
    FindHistory::write(QStringLiteral("Check Whole Word"), checkText(CHKWORD));
    FindHistory::write(QStringLiteral("Check Case"), checkText(CHKCASE));
    FindHistory::write(QStringLiteral("History"), checkText(CHKFINDSAVE));

    uncheck(m_main.menuItem(QStringLiteral("MNUEDITGOTO")));
    uncheck(m_main.button(QStringLiteral("FIND")));
    uncheck(m_main.button(QStringLiteral("REPLACE")));
    if (g_loaded == this)
        g_loaded = nullptr;
}
