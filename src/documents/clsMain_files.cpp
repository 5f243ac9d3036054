// The file commands of clsMain: new, open, save, save as and insert document.

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QToolButton>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/StatusProgress.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/DocumentFiles.h"
#include "documents/DocumentTypes.h"
#include "documents/Recovery.h"
#include "documents/frmDocRTF.h"
#include "documents/frmNew.h"
#include "platform/AppPaths.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {
QString itemsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmMain\\Items");
}
QString prefsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
}

QString readItem(const QString &name, const QString &def)
{
    return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, itemsKey(), name, def);
}

void writeItem(const QString &name, const QString &value)
{
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, itemsKey(), name, value);
}

int toIndex(const QString &text, int def)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n : def;
}

// Where Save As first opens: the user's templates folder for a template, else the user's
// documents folder. The program folder holds shipped files only and is never written to.
QString defaultSaveFolder(int filterIndex)
{
    if (filterIndex == 2) {
        const QString templates = AppPaths::userTemplatesFolder();
        if (AppPaths::ensureFolder(templates))
            return templates;
    }
    return AppPaths::documentsFolder();
}
} // namespace

frmDocRTF *clsMain::FILENEW()
{
    AppState &st = AppState::instance();
    int slot = -1;
    for (int k = 0; k < AppState::MaxDocuments; ++k) {
        if (!st.DocSlotUsed[k]) {
            slot = k;
            break;
        }
    }
    if (slot < 0) {
        clsLibrary::instance().MESSAGEBOX(24);
        return nullptr;
    }
    // The new window takes the state of the active one: maximised unless that is not.
    const frmDocRTF *active = ActiveDoc();
    const QWidget *activeFrame = active ? active->parentWidget() : nullptr;
    st.NewWindowState =
        !activeFrame || activeFrame->isMaximized() ? QStringLiteral("2") : QStringLiteral("0");
    st.DocSlotUsed[slot] = true;
    ++st.DocCount;
    auto *doc = new frmDocRTF(m_main, slot + 1);
    doc->setCaption(QStringLiteral("Document ") + QString::number(slot + 1));
    st.DocWindows[slot] = doc;
    Recovery::documentOpened(doc);
    m_main.addDocument(doc, st.NewWindowState);
    MNUENABLED();
    SETRULER();
    return doc;
}

void clsMain::FILENEWSHOW()
{
    frmNew dialog(*this, false, &m_main);
    UiServices::instance().execDialog(&dialog);
}

int clsMain::FILESSELECTEDCOUNT(const QStringList &selection) const
{
    return static_cast<int>(selection.size());
}

QString clsMain::FILEOPENGETFROMLIST(const QStringList &selection, int index) const
{
    return index >= 0 && index < selection.size() ? selection[index] : QString();
}

void clsMain::FILEOPENDOCUMENT()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.filters = DocumentTypes::openFilters();
    request.filterIndex = toIndex(readItem(QStringLiteral("CMD Open Filter"), QStringLiteral("11")),
                                  DocumentTypes::DefaultOpenFilter);
    request.folder = readItem(QStringLiteral("CMD Open Folder"), AppPaths::documentsFolder());
    request.multiSelect = true;
    const FileDialogResult result = UiServices::instance().openFiles(request);
    if (result.files.isEmpty())
        return;
    AppState::instance().DialogFileName = FILEOPENGETFROMLIST(result.files, 0);
    writeItem(QStringLiteral("CMD Open Folder"),
              DocumentTypes::folderOf(FILEOPENGETFROMLIST(result.files, 0)));
    writeItem(QStringLiteral("CMD Open Filter"), QString::number(result.filterIndex));
    const int count = FILESSELECTEDCOUNT(result.files);
    for (int i = 0; i < count; ++i)
        FILEOPENONE(FILEOPENGETFROMLIST(result.files, i));
}

frmDocRTF *clsMain::documentForFile(const QString &path) const
{
    for (frmDocRTF *doc : m_main.documents())
        if (!doc->isClosed() && !doc->isUntitled() && DocumentFiles::sameFile(doc->Caption(), path))
            return doc;
    return nullptr;
}

bool clsMain::activeDocEditable() const
{
    const frmDocRTF *doc = ActiveDoc();
    return doc && doc->isEditable();
}

frmDocRTF *clsMain::FILEOPENONE(const QString &path)
{
    // One file, one window.
    if (frmDocRTF *open = documentForFile(path)) {
        m_main.activateDocument(open);
        FILERECENTFILESLISTADD(open->Caption());
        return open;
    }
    // Look before making a window: a file that cannot be read gets none.
    QByteArray none;
    const SafeFile::Result check = SafeFile::read(path, none, 0);
    if (!check.ok()) {
        DocumentFiles::reportOpenProblem(path, check);
        return nullptr;
    }
    if (!DocumentFiles::confirmLargeFile(path))
        return nullptr;
    frmDocRTF *doc = FILENEW();
    if (!doc)
        return nullptr;
    if (!loadIntoDocument(doc, path)) {
        doc->closeAfterQuery();
        return nullptr;
    }
    FILERECENTFILESLISTADD(path);
    doc->Activate();
    doc->DOCCHK();
    TOOLBARSBUTTONSUPDATE();
    return doc;
}

bool clsMain::loadIntoDocument(frmDocRTF *doc, const QString &path)
{
    SafeFile::Result read;
    AppState::instance().SuppressModified = true;
    // The document is read-only for commands, not for being read again.
    const bool readOnly = doc->RTF1->isLocked();
    doc->RTF1->setLocked(false);
    // A large file is read in the background, with its progress and Cancel on the status bar.
    RichTextBox *box = doc->RTF1;
    StatusProgress &progress = StatusProgress::of(m_main);
    box->setReadCancelWidget(progress.BTNWORKCANCEL);
    const QString reading = QStringLiteral("Reading '%1'...").arg(QFileInfo(path).fileName());
    const QMetaObject::Connection following = QObject::connect(
        box, &RichTextBox::ReadProgress, box, [&progress, box, reading](int percent) {
            progress.begin(box, reading, [box] { box->cancelRead(); });
            progress.setPercent(box, percent);
        });
    // A text file gets the text font as it is read.
    if (DocumentTypes::isRichText(path)) {
        box->setPlainTextFont(QString(), 0);
    } else {
        const auto [font, points] = textFont();
        box->setPlainTextFont(font, points);
    }
    const bool loaded = box->LoadFile(path, &read);
    QObject::disconnect(following);
    progress.end(box);
    doc->RTF1->setLocked(readOnly);
    AppState::instance().SuppressModified = false;
    if (!loaded && box->wasReadCancelled())
        return false;
    if (!loaded) {
        if (const int length = doc->RTF1->refusedParagraphLength())
            clsLibrary::instance().MESSAGEBOX(61, path, QString::number(length),
                                              QString::number(RichTextBox::LongestParagraph));
        else
            DocumentFiles::reportOpenProblem(path, read);
        return false;
    }
    doc->setCaption(path);
    doc->setDiskStamp(path, read.stamp);
    TEXTFONTAPPLY(doc, path);
    doc->markUnchanged();
    doc->DOCCHK();
    return true;
}

std::pair<QString, double> clsMain::textFont() const
{
    const clsLibrary &lib = clsLibrary::instance();
    const QString font =
        lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, prefsKey(), QStringLiteral("Text Font Name"),
                       QStringLiteral("FIXEDSYS"));
    const double points = lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, prefsKey(),
                                         QStringLiteral("Text Font Size"), QStringLiteral("9"))
                              .toDouble();
    return {font, points > 0 ? points : 9};
}

void clsMain::TEXTFONTAPPLY(frmDocRTF *doc, const QString &name)
{
    if (!doc || DocumentTypes::isRichText(name))
        return;
    const auto [font, points] = textFont();
    // Text read from a text file has the font already; RTF content under a text file's name
    // gets it here.
    if (!doc->RTF1->wasReadAsPlainText()) {
        const bool suppress = AppState::instance().SuppressModified;
        AppState::instance().SuppressModified = true;
        const bool readOnly = doc->RTF1->isLocked();
        doc->RTF1->setLocked(false);
        doc->RTF1->setFont(font, points);
        doc->RTF1->selectAll();
        doc->RTF1->setSelFontName(font);
        doc->RTF1->setSelFontSize(points);
        doc->RTF1->setSelStart(0);
        // Part of opening the file: nothing the user can undo.
        doc->RTF1->resetHistory();
        doc->RTF1->setLocked(readOnly);
        AppState::instance().SuppressModified = suppress;
    }
    // The boxes show the font when they have entries.
    if (QComboBox *box = m_main.fontNameBox(); box && box->count() > 0) {
        const int i = box->findText(font, Qt::MatchFixedString);
        if (i >= 0)
            box->setCurrentIndex(i);
    }
    if (QComboBox *box = m_main.fontSizeBox(); box && box->count() > 0) {
        const int i = box->findText(QString::number(points));
        if (i >= 0)
            box->setCurrentIndex(i);
    }
}

bool clsMain::FILESAVEDOC()
{
    AppState &st = AppState::instance();
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return false;
    // A selection is saved under the name Save As chose, whatever the document's own state.
    if (doc->isUntitled() && st.SaveMode != QLatin1String("SAVESELAS")) {
        st.SaveMode = QStringLiteral("SAVEAS");
        return FILESAVEAS();
    }
    const clsLibrary &lib = clsLibrary::instance();
    const bool selection = st.SaveMode == QLatin1String("SAVESELAS");
    // The type a Save As chose; any other save (Save, the close prompt) keeps the file's own.
    const bool chosenType = m_saveFilterIndex > 0 || selection;
    const int filterIndex =
        m_saveFilterIndex > 0
            ? m_saveFilterIndex
            : toIndex(readItem(QStringLiteral("CMD Save Filter"), QStringLiteral("1")), 1);
    QString name = selection ? m_saveAsName : doc->Caption();
    if (!selection) {
        // A shipped template opened from the program folder is saved as the user's own copy.
        const QString target = AppPaths::writablePath(name);
        if (target != name) {
            AppPaths::ensureFolder(QFileInfo(target).absolutePath());
            doc->setCaption(target);
            name = target;
        }
    }
    const bool richText = chosenType ? DocumentTypes::saveIndexIsRichText(filterIndex)
                                     : DocumentTypes::isRichText(name);
    RichTextBox *source = doc->RTF1;
    if (selection) {
        doc->RTF2->setTextRTF(doc->RTF1->SelRTF());
        source = doc->RTF2;
    }
    auto done = [&](bool written) {
        if (selection)
            doc->RTF2->setTextRTF(QString());
        doc->DOCCHK();
        return written;
    };
    // Plain text cannot keep formatting or pictures: ask once for this name before losing them.
    if (!richText && !doc->plainTextAgreed(name) && DocumentFiles::hasFormatting(*source)) {
        qint16 answer = 0;
        lib.MESSAGEBOXFCN(42, name, QString(), QString(), QString(), answer);
        if (answer != MsgResult::Yes)
            return done(false);
        doc->setPlainTextAgreed(name);
    }
    // Another program changed the file since it was read or saved here.
    if (!selection && doc->changedOnDisk()) {
        qint16 answer = 0;
        lib.MESSAGEBOXFCN(40, name, QString(), QString(), QString(), answer);
        if (answer != MsgResult::Yes)
            return done(false);
    }
    const SafeFile::Result result = DocumentFiles::write(*source, name, richText);
    if (!result.ok()) {
        done(false);
        DocumentFiles::reportSaveProblem(name, result);
        return false;
    }
    if (!selection) {
        doc->setDiskStamp(name, result.stamp);
        doc->markUnchanged();
        doc->SAVESTATUS(false);
        if (st.SaveMode == QLatin1String("SAVEAS"))
            FILERECENTFILESLISTADD(name);
    }
    return done(true);
}

bool clsMain::FILESAVEAS()
{
    AppState &st = AppState::instance();
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return false;
    FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.fileName = doc->Caption();
    request.filters = DocumentTypes::saveFilters();
    request.filterIndex =
        toIndex(readItem(QStringLiteral("CMD Save Filter"), QStringLiteral("1")), 1);
    request.folder =
        readItem(QStringLiteral("CMD Save Folder"), defaultSaveFolder(request.filterIndex));
    const FileDialogResult result = UiServices::instance().saveFile(request);
    if (result.files.isEmpty())
        return false;
    const QString typed = result.files.first();
    AppState::instance().DialogFileName = typed;
    writeItem(QStringLiteral("CMD Save Folder"), DocumentTypes::folderOf(typed));
    writeItem(QStringLiteral("CMD Save Filter"), QString::number(result.filterIndex));
    QString name = DocumentTypes::saveAsName(typed, result.filterIndex);
    name = AppPaths::writablePath(name);
    AppPaths::ensureFolder(QFileInfo(name).absolutePath());
    // One file, one window: another window's file is not overwritten from here.
    if (frmDocRTF *other = documentForFile(name); other && other != doc) {
        clsLibrary::instance().MESSAGEBOX(51, name);
        return false;
    }
    if (clsLibrary::instance().FILEEXISTS(name)) {
        qint16 answer = 0;
        clsLibrary::instance().MESSAGEBOXFCN(3, name, QString(), QString(), QString(), answer);
        if (answer != MsgResult::Yes)
            return false;
    }
    m_saveFilterIndex = result.filterIndex;
    bool saved = false;
    if (st.SaveMode == QLatin1String("SAVESELECTION")) {
        m_saveAsName = name;
        st.SaveMode = QStringLiteral("SAVESELAS");
        saved = FILESAVEDOC();
    } else {
        const QString previous = doc->Caption();
        doc->setCaption(name);
        st.SaveMode = QStringLiteral("SAVEAS");
        saved = FILESAVEDOC();
        // A failed write keeps the document under its old name.
        if (!saved)
            doc->setCaption(previous);
        else
            doc->Activate();
    }
    m_saveFilterIndex = 0;
    return saved;
}

void clsMain::INSERTDOC(const QString &path)
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc || !doc->isEditable())
        return;
    SafeFile::Result read;
    if (!doc->RTF2->LoadFile(path, &read)) {
        DocumentFiles::reportOpenProblem(path, read);
        return;
    }
    doc->RTF1->setSelRTF(doc->RTF2->TextRTF());
    doc->RTF2->setTextRTF(QString());
}

void clsMain::SETRULER()
{
    for (frmDocRTF *doc : m_main.documents())
        for (QLabel *l : {doc->LBLRULER, doc->LBLRULER2, doc->LBLFSTLINE, doc->LBLHANGIND,
                          doc->LBLLEFTIND, doc->LBLRIGHTIND})
            l->setVisible(true);
}

void clsMain::RULERBAR()
{
    QAction *item = m_main.menuItem(QStringLiteral("MNUVIEWRULER"));
    if (!item)
        return;
    // The item's check mark already flipped when it was triggered from the menu.
    const bool on = item->isChecked();
    clsLibrary::instance().REGSTRWRITE(
        clsLibrary::HKEY_CURRENT_USER, Identity::appKey() + QStringLiteral("\\frmMain\\View"),
        QStringLiteral("Ruler"), on ? QStringLiteral("True") : QStringLiteral("False"));
    for (frmDocRTF *doc : m_main.documents()) {
        doc->PICRULER->setVisible(on);
        doc->RESIZEDOC();
    }
}
