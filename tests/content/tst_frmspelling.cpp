#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
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

// The Edit menu's spell check over a document: for each unknown word the dialog shows, the test
// checks the word and its suggestions and presses one of the dialog's buttons.
class tst_frmSpelling : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ScriptedUiServices> m_ui;
    std::unique_ptr<RichTextBox> m_box;
    QStringList m_seen; // TXTUNKNOWN of every step run

    void setPref(const QString &name, const QString &value)
    {
        QVERIFY(clsLibrary::instance().REGSTRWRITE(
            clsLibrary::HKEY_CURRENT_USER, Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
            name, value));
    }
    QString shippedList() const
    {
        return m_settings->programFolder() + QStringLiteral("/Words.dic");
    }

    // Answers the modal dialog with the steps, one per unknown word: "WORD[ITEM,...]>ACTION",
    // where the dialog must show WORD (and those suggestions, when given) and ACTION is a
    // button's name, "pick=N" (click suggestion N, then Replace), "double=N" (double-click
    // suggestion N) or "type=TEXT" (type a replacement, then Replace). Stops, leaving the dialog
    // open, when the steps run out or the dialog shows something else.
    void script(const QStringList &steps)
    {
        m_ui->dialogHandler = [this, steps](QWidget *w) {
            auto *dlg = qobject_cast<frmSpelling *>(w);
            auto *list = dlg->findChild<QListWidget *>(QStringLiteral("LSTSUGGESTIONS"));
            auto button = [dlg](const QString &name) {
                dlg->findChild<QPushButton *>(name)->click();
            };
            static const QRegularExpression form(
                QStringLiteral("^(.*?)(?:\\[(.*)\\])?>(\\w+)(?:=(.*))?$"));
            for (const QString &step : steps) {
                if (!m_ui->messages.isEmpty())
                    break; // checking has finished
                const QRegularExpressionMatch m = form.match(step);
                m_seen << dlg->findChild<QLineEdit *>(QStringLiteral("TXTUNKNOWN"))->text();
                QStringList shown;
                for (int i = 0; i < list->count(); ++i)
                    shown << list->item(i)->text();
                if (m_seen.last() != m.captured(1))
                    return 0;
                if (m.hasCaptured(2) && shown.join(u',') != m.captured(2)) {
                    m_seen << QStringLiteral("items: ") + shown.join(u',');
                    return 0;
                }
                const QString action = m.captured(3);
                QListWidgetItem *item = list->item(m.captured(4).toInt());
                if (action == QLatin1String("pick")) {
                    list->setCurrentItem(item);
                    emit list->itemClicked(item);
                    button(QStringLiteral("BTNREPLACE"));
                } else if (action == QLatin1String("double")) {
                    emit list->itemDoubleClicked(item);
                } else if (action == QLatin1String("type")) {
                    dlg->findChild<QLineEdit *>(QStringLiteral("TXTREPLACE"))
                        ->setText(m.captured(4));
                    button(QStringLiteral("BTNREPLACE"));
                } else {
                    button(action);
                }
            }
            return dlg->result();
        };
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_ui = std::make_unique<ScriptedUiServices>();
        m_box = std::make_unique<RichTextBox>();
        m_seen.clear();
        SpellingDictionary::resetProgram();
        QFile f(shippedList());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("the\r\nthem\r\ntea\r\nquick\r\nbrown\r\nfox\r\njumped\r\nover\r\nlazy\r\ndog\r\n"
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

    // Where the check starts (from the caret, or from the start when the caret is near it),
    // changing a word by a picked suggestion, a double-click or typing, Ignore, Ignore All, Add,
    // Close, an owner cancelling Add and Change, a disabled suggestion list, and the finished
    // notice. Setup: "load" loads the word list when the check starts, "nolist" removes it,
    // "cancel" makes the owner cancel every Add and Change.
    void check_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("result");
        const QString short_ = QStringLiteral("the brwn fox jumpd");
        QTest::newRow("whole document")
            << "Teh quick brwn fox jumpd ovr the lazzy dog and Zork\r\nlazzy zork london jumpd "
               "again"
            << 0 << 0 << ""
            << QStringList{"Teh[The,Tea,Them]>pick=0",  "brwn[brown]>double=0",
                           "jumpd[jumped]>BTNIGNORE",   "ovr[over]>type=over",
                           "lazzy[lazy]>BTNIGNOREALL",  "Zork[No Suggestions]>BTNADD",
                           "london[London]>BTNREPLACE", "jumpd>BTNIGNORE"}
            << "The quick brown fox jumpd over the lazzy dog and Zork\r\nlazzy zork London jumpd "
               "again";
        QTest::newRow("caret inside the first word")
            << short_ << 2 << 0 << "load"
            << QStringList{"e>BTNIGNORE", "brwn>BTNIGNORE", "jumpd>BTNIGNORE"} << short_;
        QTest::newRow("nothing after the caret: no dialog")
            << short_ << 18 << 0 << "" << QStringList{} << short_;
        QTest::newRow("close stops, the word stays selected")
            << short_ << 0 << 0 << "" << QStringList{"brwn>BTNCLOSE"} << short_;
        QTest::newRow("no suggestions: the list is disabled")
            << "xyzzy" << 0 << 0 << "" << QStringList{"xyzzy[No Suggestions]>pick=0"} << "xyzzy";
        QTest::newRow("no word list: the list is disabled")
            << "xyzzy" << 0 << 0 << "nolist" << QStringList{"xyzzy[Dictionary not found]>pick=0"}
            << "xyzzy";
        QTest::newRow("add cancelled")
            << "brwn fox" << 0 << 0 << "cancel" << QStringList{"brwn>BTNADD", "brwn>BTNIGNORE"}
            << "brwn fox";
        QTest::newRow("change cancelled")
            << "brwn fox" << 0 << 0 << "cancel"
            << QStringList{"brwn[brown]>BTNREPLACE", "brwn>BTNIGNORE"} << "brwn fox";
    }
    void check()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, setup);
        QFETCH(QStringList, steps);
        QFETCH(QString, result);
        const bool load = setup.contains(QLatin1String("load"));
        setPref(QStringLiteral("Spell Check Load"), load ? "True" : "False");
        if (setup.contains(QLatin1String("nolist")))
            QVERIFY(QFile::remove(shippedList()));
        QStringList status, asked;
        SpellingCommands::setStatusHandler([&](const QString &t) { status << t; });
        clsSpelling &engine = SpellingCommands::engine();
        const bool cancel = setup.contains(QLatin1String("cancel"));
        const auto c1 =
            connect(&engine, &clsSpelling::BeforeAdd, this, [&](const QString &word, bool &c) {
                asked << word;
                c = cancel;
            });
        const auto c2 = connect(&engine, &clsSpelling::BeforeChange, this,
                                [&](const QString &word, const QString &, bool &c) {
                                    asked << word;
                                    c = cancel;
                                });
        QSignalSpy finished(&engine, &clsSpelling::Finished);
        m_box->setText(text);
        m_box->setSelStart(selStart);
        m_box->setSelLength(selLength);
        script(steps);
        SpellingCommands::EDITSPELLCHECK(m_box.get());
        disconnect(c1);
        disconnect(c2);

        QStringList words, added;
        for (const QString &step : steps) {
            words << step.section(QRegularExpression(QStringLiteral("[\\[>]")), 0, 0);
            if (step.endsWith(QLatin1String(">BTNADD")) && !cancel)
                added << words.last().toLower() + QStringLiteral("\r\n");
        }
        QCOMPARE(m_seen, words);
        QCOMPARE(m_box->Text(), result);
        QCOMPARE(m_ui->dialogsShown.size(), steps.isEmpty() ? 0 : 1);
        QVERIFY(!engine.dialog()); // unloaded after the check
        if (cancel)
            QCOMPARE(asked, QStringList{words.first()});
        const QStringList checking{"Checking spelling...", ""};
        QCOMPARE(status, load ? QStringList{"Loading dictionary files..."} + checking : checking);
        if (steps.value(0).endsWith(QLatin1String(">BTNCLOSE"))) {
            QCOMPARE(finished.size(), 0);
            QVERIFY(m_ui->messages.isEmpty());
            QCOMPARE(m_box->SelText(), words.first());
        } else {
            QCOMPARE(finished.size(), 1);
            QCOMPARE(m_ui->messages.size(), 1); // the finished notice
        }
        // Added words are saved; ignored ones and cancelled additions are not.
        QVERIFY(SpellingCommands::SAVEDICT());
        QFile user(AppPaths::userWordList());
        QCOMPARE(user.open(QIODevice::ReadOnly) ? user.readAll() : QByteArray(),
                 added.join(QString()).toLatin1());
    }
};

QTEST_MAIN(tst_frmSpelling)
#include "tst_frmspelling.moc"
