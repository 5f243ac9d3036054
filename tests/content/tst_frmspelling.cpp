#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "content/SpellingCommands.h"
#include "content/SpellingDictionary.h"
#include "content/clsSpelling.h"
#include "content/frmSpelling.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedUiServices.h"
#include "support/TempSettings.h"

// The spelling dialog driven over a document: each step checks what the dialog shows for the
// current unknown word and then presses one of its buttons.
class tst_frmSpelling : public QObject
{
    Q_OBJECT

private:
    struct Step
    {
        QString unknown;   // expected TXTUNKNOWN
        QStringList items; // expected LSTSUGGESTIONS lines (empty: not checked)
        QString action;    // button name, "pick:N" (click suggestion N then BTNREPLACE),
                           // "double:N" (double-click suggestion N), "type:TEXT" (type a
                           // replacement then BTNREPLACE)
    };

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ScriptedUiServices> m_ui;
    std::unique_ptr<RichTextBox> m_box;
    QStringList m_seen; // TXTUNKNOWN of every step run

    static QString prefsKey() { return Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"); }
    void setPref(const QString &name, const QString &value)
    {
        QVERIFY(clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, prefsKey(), name,
                                                   value));
    }
    void writeDic(const QByteArray &bytes)
    {
        QFile f(m_settings->programFolder() + QStringLiteral("/Words.dic"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readUserDic() const
    {
        QFile f(AppPaths::userWordList());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Answers the modal dialog with the steps; stops (leaving the dialog open) when the steps
    // run out or something does not match.
    void script(const QList<Step> &steps)
    {
        m_ui->dialogHandler = [this, steps](QWidget *w) {
            auto *dlg = qobject_cast<frmSpelling *>(w);
            if (!dlg)
                return 0;
            auto *unknown = dlg->findChild<QLineEdit *>(QStringLiteral("TXTUNKNOWN"));
            auto *list = dlg->findChild<QListWidget *>(QStringLiteral("LSTSUGGESTIONS"));
            auto *replace = dlg->findChild<QLineEdit *>(QStringLiteral("TXTREPLACE"));
            for (const Step &step : steps) {
                if (!m_ui->messages.isEmpty())
                    break; // checking has finished
                m_seen << unknown->text();
                if (unknown->text() != step.unknown)
                    return 0;
                if (!step.items.isEmpty()) {
                    QStringList shown;
                    for (int i = 0; i < list->count(); ++i)
                        shown << list->item(i)->text();
                    if (shown != step.items) {
                        m_seen << QStringLiteral("items: ") + shown.join(QLatin1Char(','));
                        return 0;
                    }
                }
                const QString kind = step.action.section(QLatin1Char(':'), 0, 0);
                const QString arg = step.action.section(QLatin1Char(':'), 1);
                if (kind == QLatin1String("pick")) {
                    QListWidgetItem *item = list->item(arg.toInt());
                    list->setCurrentItem(item);
                    emit list->itemClicked(item);
                    dlg->findChild<QPushButton *>(QStringLiteral("BTNREPLACE"))->click();
                } else if (kind == QLatin1String("double")) {
                    emit list->itemDoubleClicked(list->item(arg.toInt()));
                } else if (kind == QLatin1String("type")) {
                    replace->setText(arg);
                    dlg->findChild<QPushButton *>(QStringLiteral("BTNREPLACE"))->click();
                } else {
                    dlg->findChild<QPushButton *>(step.action)->click();
                }
            }
            return dlg->result();
        };
    }

    QList<ScriptedUiServices::Message> finishedMessage() const
    {
        return {{QStringLiteral("Spell Checker has now finished checking your document."), 64,
                 QStringLiteral("Spell Checker")}};
    }

    static void compareMessages(const QList<ScriptedUiServices::Message> &a,
                                const QList<ScriptedUiServices::Message> &b)
    {
        QCOMPARE(a.size(), b.size());
        for (int i = 0; i < a.size(); ++i) {
            QCOMPARE(a[i].text, b[i].text);
            QCOMPARE(a[i].style, b[i].style);
            QCOMPARE(a[i].title, b[i].title);
        }
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_ui = std::make_unique<ScriptedUiServices>();
        m_box = std::make_unique<RichTextBox>();
        m_seen.clear();
        SpellingDictionary::resetProgram();
        writeDic("the\r\nthem\r\ntea\r\nquick\r\nbrown\r\nfox\r\njumped\r\nover\r\nlazy\r\ndog\r\n"
                 "and\r\nagain\r\nLondon\r\n");
        for (const char *name : {"Number Check", "Capitals Check", "Character Check"})
            setPref(QLatin1String(name), QStringLiteral("0"));
    }
    void cleanup()
    {
        SpellingCommands::UNLOAD();
        SpellingCommands::setStatusHandler({});
        SpellingDictionary::resetProgram();
        m_box.reset();
        m_ui.reset();
        m_settings.reset();
    }

    // A whole document: change by a picked suggestion, by a double-click and by typing, ignore,
    // ignore all and add, ending with the finished notice.
    void wholeDocument()
    {
        m_box->setText(QStringLiteral("Teh quick brwn fox jumpd ovr the lazzy dog and Zork\r\n"
                                      "lazzy zork london jumpd again"));
        script({
            {"Teh", {"The", "Tea", "Them"}, "pick:0"},
            {"brwn", {"brown"}, "double:0"},
            {"jumpd", {"jumped"}, "BTNIGNORE"},
            {"ovr", {"over"}, "type:over"},
            {"lazzy", {"lazy"}, "BTNIGNOREALL"},
            {"Zork", {"No Suggestions"}, "BTNADD"},
            {"london", {"London"}, "BTNREPLACE"},
            {"jumpd", {"jumped"}, "BTNIGNORE"},
        });
        clsSpelling &engine = SpellingCommands::engine();
        QSignalSpy finished(&engine, &clsSpelling::Finished);
        engine.TEXTBOX(m_box.get());
        engine.SPELLCHECK(false);
        QCOMPARE(m_seen,
                 (QStringList{"Teh", "brwn", "jumpd", "ovr", "lazzy", "Zork", "london", "jumpd"}));
        QCOMPARE(m_box->Text(), QStringLiteral("The quick brown fox jumpd over the lazzy dog and "
                                               "Zork\r\nlazzy zork London jumpd again"));
        QCOMPARE(finished.size(), 1);
        compareMessages(m_ui->messages, finishedMessage());
        QCOMPARE(m_ui->dialogsShown.size(), 1);
        QVERIFY(!engine.dialog()); // unloaded after the check

        // Added words are saved, the ignored ones are not.
        QVERIFY(SpellingCommands::SAVEDICT());
        QCOMPARE(readUserDic(), QByteArray("zork\r\n"));
    }

    // A suggestion list that is disabled cannot be used; Replace then keeps the word.
    void disabledList_data()
    {
        QTest::addColumn<bool>("haveFile");
        QTest::addColumn<QString>("line");
        QTest::newRow("no suggestions") << true << "No Suggestions";
        QTest::newRow("no dictionary") << false << "Dictionary not found";
    }
    void disabledList()
    {
        QFETCH(bool, haveFile);
        QFETCH(QString, line);
        if (!haveFile)
            QVERIFY(QFile::remove(m_settings->programFolder() + QStringLiteral("/Words.dic")));
        m_box->setText(QStringLiteral("xyzzy"));
        bool listEnabled = true;
        QString replacement;
        m_ui->dialogHandler = [&](QWidget *w) {
            auto *list = w->findChild<QListWidget *>(QStringLiteral("LSTSUGGESTIONS"));
            listEnabled = list->isEnabled();
            m_seen << list->item(0)->text();
            emit list->itemClicked(list->item(0)); // ignored: the list is disabled
            replacement = w->findChild<QLineEdit *>(QStringLiteral("TXTREPLACE"))->text();
            w->findChild<QPushButton *>(QStringLiteral("BTNREPLACE"))->click();
            return 0;
        };
        clsSpelling &engine = SpellingCommands::engine();
        engine.TEXTBOX(m_box.get());
        engine.SPELLCHECK(false);
        QVERIFY(!listEnabled);
        QCOMPARE(m_seen, QStringList{line});
        QCOMPARE(replacement, QStringLiteral("xyzzy"));
        QCOMPARE(m_box->Text(), QStringLiteral("xyzzy"));
        compareMessages(m_ui->messages, finishedMessage());
    }

    // Close stops the check: no notice, the word stays selected.
    void closeStops()
    {
        m_box->setText(QStringLiteral("the brwn fox jumpd"));
        script({{"brwn", {}, "BTNCLOSE"}});
        clsSpelling &engine = SpellingCommands::engine();
        QSignalSpy finished(&engine, &clsSpelling::Finished);
        engine.TEXTBOX(m_box.get());
        engine.SPELLCHECK(false);
        QCOMPARE(finished.size(), 0);
        QVERIFY(m_ui->messages.isEmpty());
        QCOMPARE(m_box->SelText(), QStringLiteral("brwn"));
        QVERIFY(!engine.dialog());
    }

    // The owner can cancel Add and Change; the dialog then stays on the same word.
    void cancelled_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("add") << "BTNADD";
        QTest::newRow("replace") << "BTNREPLACE";
    }
    void cancelled()
    {
        QFETCH(QString, button);
        m_box->setText(QStringLiteral("brwn fox"));
        script({{"brwn", {}, button}, {"brwn", {}, "BTNIGNORE"}});
        clsSpelling &engine = SpellingCommands::engine();
        QStringList asked;
        const auto c1 =
            connect(&engine, &clsSpelling::BeforeAdd, this, [&](const QString &word, bool &cancel) {
                asked << word;
                cancel = true;
            });
        const auto c2 = connect(&engine, &clsSpelling::BeforeChange, this,
                                [&](const QString &word, const QString &, bool &cancel) {
                                    asked << word;
                                    cancel = true;
                                });
        engine.TEXTBOX(m_box.get());
        engine.SPELLCHECK(false);
        disconnect(c1);
        disconnect(c2);
        QCOMPARE(asked, QStringList{"brwn"});
        QCOMPARE(m_seen, (QStringList{"brwn", "brwn"}));
        QCOMPARE(m_box->Text(), QStringLiteral("brwn fox"));
        QVERIFY(!SpellingDictionary::program().isDirty());
        compareMessages(m_ui->messages, finishedMessage());
    }

    // The Edit menu's command: where the check starts, the status texts, loading the list.
    void editSpellCheck_data()
    {
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("spellCheckLoad");
        QTest::addColumn<QStringList>("seen");
        QTest::addColumn<QStringList>("status");
        const QStringList all{"brwn", "jumpd"};
        const QStringList checking{"Checking spelling...", ""};
        const QStringList loading{"Loading dictionary files...", "Checking spelling...", ""};
        QTest::newRow("caret after the first character") << 1 << 0 << "True" << all << loading;
        QTest::newRow("caret inside the first word")
            << 2 << 0 << "True" << QStringList{"e", "brwn", "jumpd"} << loading;
        QTest::newRow("selected word restarts") << 4 << 4 << "True" << all << loading;
        QTest::newRow("caret later") << 12 << 0 << "True" << QStringList{"jumpd"} << loading;
        QTest::newRow("loaded at start-up") << 0 << 0 << "False" << all << checking;
        QTest::newRow("nothing after the caret: no dialog")
            << 18 << 0 << "False" << QStringList{} << checking;
    }
    void editSpellCheck()
    {
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, spellCheckLoad);
        QFETCH(QStringList, seen);
        QFETCH(QStringList, status);
        setPref(QStringLiteral("Spell Check Load"), spellCheckLoad);
        QStringList statusTexts;
        SpellingCommands::setStatusHandler([&](const QString &t) { statusTexts << t; });
        m_box->setText(QStringLiteral("the brwn fox jumpd"));
        m_box->setSelStart(selStart);
        m_box->setSelLength(selLength);
        QList<Step> steps;
        for (const QString &w : seen)
            steps.append({w, {}, QStringLiteral("BTNIGNORE")});
        script(steps);
        SpellingCommands::EDITSPELLCHECK(m_box.get());
        QCOMPARE(m_seen, seen);
        QCOMPARE(statusTexts, status);
        compareMessages(m_ui->messages, finishedMessage());
        QCOMPARE(m_ui->dialogsShown.size(), seen.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(tst_frmSpelling)
#include "tst_frmspelling.moc"
