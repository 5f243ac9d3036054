// A document from a read-only file: every command that edits is offered disabled and, reached
// anyway (keys, direct calls, the clipboard, a drop), changes nothing. Each command is first run
// on a writable document, so a row cannot pass by doing nothing at all.
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "content/Profile.h"
#include "content/frmHTMLCode.h"
#include "core/MainWindowFixture.h"
#include "editing/frmFind.h"

namespace {

using Command = std::function<void(MainWindowFixture &)>;

// Presses the dialog's Insert (or OK) button after choosing its first entry.
int pressInsert(QWidget *dialog)
{
    if (auto *list = dialog->findChild<QListWidget *>(); list && list->count() > 0) {
        list->setCurrentRow(0);
        emit list->itemClicked(list->item(0));
    }
    for (const char *name : {"BTNINSERT", "BTNOK"})
        if (auto *b = dialog->findChild<QPushButton *>(QLatin1String(name)); b && b->isEnabled()) {
            b->click();
            break;
        }
    return 1;
}

void key(MainWindowFixture &f, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(f.active()->RTF1, k, mods);
}

struct Row
{
    // The menu item or button that must be disabled for a read-only document (may be empty).
    const char *item;
    const char *button;
    Command run;
};

const QMap<QString, Row> &rows()
{
    static const QMap<QString, Row> table{
        {"typing", {nullptr, nullptr, [](auto &f) { QTest::keyClicks(f.active()->RTF1, "x"); }}},
        {"insert date", {"MNUINSERTTOP", "DATE", [](auto &f) { f.cmd().INSERTDATE(); }}},
        {"insert symbol", {"MNUINSERTTOP", "SYMBOL", [](auto &f) { f.cmd().INSERTSYMBOL(); }}},
        {"insert file",
         {"MNUINSERTTOP", "FILE",
          [](auto &f) {
              f.ui.fileAnswers.enqueue({{f.file("part.txt", "inserted")}, 3, QString()});
              f.cmd().INSERTFILE();
          }}},
        {"insert profile field",
         {"MNUINSERTTOP", nullptr,
          [](auto &f) {
              Profile::Fields fields;
              fields.fill(QStringLiteral("Ann"));
              Profile::save(Profile::filePath(), fields);
              f.cmd().INSERTPROFILEFIELD(Profile::menuItems().first());
          }}},
        {"insert HTML code",
         {"MNUINSERTTOP", nullptr,
          [](auto &f) {
              f.setStore("\\frmHTMLCode\\Items Total", "VALTOTAL", "1");
              f.setStore("\\frmHTMLCode\\Items", "0", "#FF0000");
              f.cmd().INSERTHTMLCODE();
              if (frmHTMLCode *codes = frmHTMLCode::loaded())
                  pressInsert(codes);
          }}},
        {"paste", {"MNUEDITPASTE", "PASTE", [](auto &f) { f.cmd().EDITPASTE(); }}},
        {"paste key", {nullptr, nullptr, [](auto &f) { key(f, Qt::Key_V, Qt::ControlModifier); }}},
        {"drop",
         {nullptr, nullptr,
          [](auto &f) {
              QMimeData data;
              data.setText(QStringLiteral("dropped"));
              QWidget *view = f.active()->RTF1->viewport();
              QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                    Qt::NoModifier);
              QCoreApplication::sendEvent(view, &enter);
              QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
              QCoreApplication::sendEvent(view, &drop);
          }}},
        {"cut", {"MNUEDITCUT", "CUT", [](auto &f) { f.cmd().EDITCUT(); }}},
        {"clear", {"MNUEDITDELETE", "CLEAR", [](auto &f) { f.cmd().EDITDELETE(); }}},
        {"bold", {"MNUFORMATTOP", "BOLD", [](auto &f) { f.cmd().FONTBOLD(); }}},
        {"bold key", {nullptr, nullptr, [](auto &f) { key(f, Qt::Key_B, Qt::ControlModifier); }}},
        {"indent",
         {"MNUFORMATTOP", "INCREASE INDENT", [](auto &f) { f.cmd().FORMATINDENTINCREASE(); }}},
        {"font colour",
         {"MNUFORMATTOP", "FONT COLOR",
          [](auto &f) {
              f.ui.colorAnswers.enqueue(QColor(Qt::red));
              f.cmd().FONTCOLOR();
          }}},
        {"superscript key",
         {nullptr, nullptr,
          [](auto &f) { key(f, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier); }}},
        {"registered sign key",
         {nullptr, nullptr,
          [](auto &f) { key(f, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier); }}},
        {"replace all",
         {"MNUEDITREPLACE", "REPLACE",
          [](auto &f) {
              f.cmd().EDITREPLACE();
              if (frmFind *find = frmFind::loaded()) {
                  find->CBOFIND->setEditText(QStringLiteral("keep"));
                  find->CBOREPLACE->setEditText(QStringLiteral("lose"));
                  find->BTNREPLACEALL->click();
              }
          }}},
    };
    return table;
}

} // namespace

class tst_ReadOnlyDocument : public QObject
{
    Q_OBJECT
private slots:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("pasted")); }

    void commandsChangeNothing_data()
    {
        QTest::addColumn<QString>("command");
        for (const QString &name : rows().keys())
            QTest::newRow(qPrintable(name)) << name;
    }
    void commandsChangeNothing()
    {
        QFETCH(QString, command);
        const Row &row = rows()[command];
        for (const bool readOnly : {false, true}) {
            MainWindowFixture f;
            const QString path = f.file(QStringLiteral("keep.rtf"), "{\\rtf1 keep me\\par}");
            if (readOnly)
                QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
            f.ui.dialogHandler = pressInsert;
            frmMain &m = f.start(path);
            frmDocRTF *doc = f.active();
            QCOMPARE(doc->isEditable(), !readOnly);
            QCOMPARE(m.panel(frmMain::PanelReadWrite)->text(), readOnly ? "READ" : "Write");
            doc->RTF1->setSelStart(0);
            doc->RTF1->setSelLength(4);
            const QString before = doc->RTF1->TextRTF();
            if (row.item)
                QCOMPARE(m.menuItem(QLatin1String(row.item))->isEnabled(), !readOnly);
            if (row.button)
                QCOMPARE(m.button(QLatin1String(row.button))->isEnabled(), !readOnly);
            row.run(f);
            QCoreApplication::processEvents();
            doc = f.active();
            QVERIFY2((doc->RTF1->TextRTF() == before) == readOnly,
                     readOnly ? "a read-only document changed" : "the command did nothing");
            QCOMPARE(doc->isModified(), !readOnly);
            frmHTMLCode::UNLOAD();
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    }
};

QTEST_MAIN(tst_ReadOnlyDocument)
#include "tst_readonlydocument.moc"
