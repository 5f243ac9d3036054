#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>
#include <memory>

#include "content/SpellingDictionary.h"
#include "content/SpellingHighlighter.h"
#include "core/MainWindowFixture.h"
#include "editing/frmPopup.h"

// Checking as you type in a running program: the underline comes and goes with the text, the
// context menu of an underlined word corrects, ignores or adds it, and none of it touches the
// document's modified flag or its undo history.
class tst_SpellHighlight : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    RichTextBox *m_box = nullptr;
    SpellingHighlighter *m_h = nullptr;

    QStringList underlined() const
    {
        m_h->refresh();
        QStringList words;
        for (const SpellingHighlighter::Misspelt &m : m_h->underlined())
            words << QString::number(m.start) + u':' + m.word;
        return words;
    }
    // Loads text as a file would: the document starts unmodified, with nothing to undo.
    void load(const QString &text)
    {
        m_box->setText(text);
        m_box->setTag(QStringLiteral("0"));
        m_box->document()->clearUndoRedoStacks();
    }
    void verifyUntouched() const
    {
        QCOMPARE(m_box->Tag(), QStringLiteral("0"));
        QVERIFY(!m_box->document()->isUndoAvailable());
    }
    // Right-clicks the word at pos and returns the document's context menu.
    QMenu *contextMenuAt(int pos)
    {
        QTextCursor c(m_box->document());
        c.setPosition(m_box->toDocPosition(pos) + 1);
        const QPoint at = m_box->viewport()->mapToGlobal(m_box->cursorRect(c).center());
        m_f->cmd().EDITCONTEXTMENU(at);
        QMenu *menu = frmPopup::loaded()->menu(QStringLiteral("MNUPOPUP"));
        menu->hide();
        return menu;
    }

private slots:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        m_f->file(QStringLiteral("program/Words.dic"),
                  "the\r\ncat\r\nsat\r\non\r\nmat\r\ndog\r\nLondon\r\n");
        SpellingDictionary::resetProgram();
        m_f->start();
        m_box = m_f->active()->RTF1;
        m_h = SpellingHighlighter::of(m_box);
        QVERIFY(m_h);
    }
    void cleanup()
    {
        m_f.reset();
        SpellingDictionary::resetProgram();
    }

    // Unknown words are underlined as soon as they show (while the preference is on), and no
    // longer once corrected; the word being typed waits until the caret leaves it.
    void underlineFollowsTheText()
    {
        load(QStringLiteral("The cat szt on the mat in london."));
        QCOMPARE(underlined(), (QStringList{"8:szt", "23:in", "26:london"}));
        // The preference turns the underlines off and on again.
        for (const char *on : {"0", "1"}) {
            m_f->setStore(QStringLiteral("\\frmPrefs\\Items"), QStringLiteral("Check As You Type"),
                          QLatin1String(on));
            m_f->cmd().SPELLPREFERENCES();
            QCOMPARE(underlined().size(), *on == '1' ? 3 : 0);
        }
        verifyUntouched();

        m_box->setSelStart(8);
        m_box->setSelLength(3);
        QTest::keyClicks(m_box, QStringLiteral("sat"));
        QCOMPARE(underlined(), (QStringList{"23:in", "26:london"}));

        m_box->setSelStart(int(m_box->Text().size()));
        QTest::keyClicks(m_box, QStringLiteral(" Dgo"));
        QCOMPARE(underlined(), (QStringList{"23:in", "26:london"}));
        QTest::keyClicks(m_box, QStringLiteral(" "));
        QCOMPARE(underlined(), (QStringList{"23:in", "26:london", "34:Dgo"}));
    }

    // The context menu of an underlined word: a suggestion replaces it (an ordinary edit);
    // Ignore All and Add take the underline away without changing the document, and Add keeps
    // the word for the next run.
    void contextMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("suggestion")
            << "MNUSPELLSUGGEST0"
            << "the mtt sat, the cat szt" << QStringList{"4:mtt", "21:szt"} << QByteArray();
        QTest::newRow("ignore all")
            << "MNUSPELLIGNOREALL"
            << "the mtt szt, the cat szt" << QStringList{"4:mtt"} << QByteArray();
        QTest::newRow("add") << "MNUSPELLADD"
                             << "the mtt szt, the cat szt" << QStringList{"4:mtt"}
                             << QByteArray("szt\r\n");
    }
    void contextMenu()
    {
        QFETCH(QString, item);
        QFETCH(QString, text);
        QFETCH(QStringList, left);
        QFETCH(QByteArray, saved);
        load(QStringLiteral("the mtt szt, the cat szt"));
        QCOMPARE(underlined(), (QStringList{"4:mtt", "8:szt", "21:szt"}));
        QMenu *menu = contextMenuAt(8);
        QAction *first = menu->findChild<QAction *>(QStringLiteral("MNUSPELLSUGGEST0"));
        QVERIFY(first);
        QCOMPARE(first->text(), QStringLiteral("sat"));
        QCOMPARE(menu->actions().first(), first);
        menu->findChild<QAction *>(item)->trigger();
        QCOMPARE(m_box->Text(), text);
        QCOMPARE(underlined(), left);
        if (item != QLatin1String("MNUSPELLSUGGEST0"))
            verifyUntouched();
        // A word that is not underlined gets no spelling items.
        contextMenuAt(0);
        QVERIFY(!menu->findChild<QAction *>(QStringLiteral("MNUSPELLADD")));

        m_box->setTag(QStringLiteral("0")); // close without the save prompt
        QVERIFY(m_f->close());
        QCOMPARE(m_f->read(AppPaths::userWordList()).toLatin1(), saved);
    }

    // A long document: only what is on screen is checked, and scrolling checks what comes up.
    void onlyTheTextOnScreen()
    {
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("the cat szt on the mat\r\n");
        load(text);
        const int shown = int(underlined().size());
        QVERIFY(shown > 0 && shown < 200);
        m_box->verticalScrollBar()->setValue(m_box->verticalScrollBar()->maximum() / 2);
        m_h->refresh();
        const QList<SpellingHighlighter::Misspelt> middle = m_h->underlined();
        QVERIFY(!middle.isEmpty() && middle.size() < 200);
        QVERIFY(middle.first().start > text.size() / 4 &&
                middle.last().start < text.size() * 3 / 4);
        verifyUntouched();
    }
};

QTEST_MAIN(tst_SpellHighlight)
#include "tst_spellhighlight.moc"
