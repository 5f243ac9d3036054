#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "editing/frmSymbol.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedUiServices.h"
#include "support/TempSettings.h"

// The Symbol dialog over a document: the grid, the preview's buttons, and what Insert puts into
// the document.
class tst_Symbol : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<RichTextBox> m_doc;

    static QString fontSetting()
    {
        return clsLibrary::instance().REGSTRREAD(
            clsLibrary::HKEY_CURRENT_USER,
            Identity::appKey() + QStringLiteral("\\frmSymbol\\Items"), QStringLiteral("Font Name"),
            QStringLiteral("<none>"));
    }
    static QListWidgetItem *itemWithKey(QListWidget *grid, const QString &key)
    {
        for (int i = 0; i < grid->count(); ++i)
            if (grid->item(i)->data(Qt::UserRole).toString() == key)
                return grid->item(i);
        return nullptr;
    }
    template <typename T> static T *child(QWidget *w, const char *name)
    {
        return w->findChild<T *>(QLatin1String(name));
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_doc = std::make_unique<RichTextBox>();
        m_doc->setText(QStringLiteral("Price"));
        m_doc->setSelStart(0);
        m_doc->setSelLength(5);
        m_doc->setSelAlignment(RichTextBox::AlignCenter);
        m_doc->setSelIndent(720);
        m_doc->setSelFontSize(18);
        m_doc->setSelStart(5);
    }
    void cleanup()
    {
        m_doc.reset();
        m_settings.reset();
    }

    void gridHoldsTheCodePage_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text"); // empty: left out
        QTest::newRow("delete") << 127 << "";
        QTest::newRow("euro") << 128 << "\u20AC";
        QTest::newRow("undefined") << 129 << "";
    }
    void gridHoldsTheCodePage()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        frmSymbol dlg(m_doc.get(), {});
        auto *grid = child<QListWidget>(&dlg, "LVWSYMBOLS");
        QCOMPARE(grid->count(), 223 - 6); // less DEL and the five undefined codes
        QListWidgetItem *item = itemWithKey(grid, QStringLiteral("TIMEMS%1").arg(code));
        QCOMPARE(item ? item->text() : QString(), text);
    }

    void previewEnablesButtonsAndInsertKeepsParagraph()
    {
        {
            frmSymbol dlg(m_doc.get(), {true, false, false});
            auto *fonts = child<QComboBox>(&dlg, "CBOFNTNM");
            auto *grid = child<QListWidget>(&dlg, "LVWSYMBOLS");
            auto *clear = child<QPushButton>(&dlg, "BTNCLEAR");
            auto *insert = child<QPushButton>(&dlg, "BTNINSERT");
            auto *ok = child<QPushButton>(&dlg, "BTNOK");
            const int serif = fonts->findText(QStringLiteral("DejaVu Serif"));
            if (serif < 0)
                QSKIP("DejaVu Serif is not installed");
            fonts->setCurrentIndex(serif);
            QVERIFY(!clear->isEnabled() && !insert->isEnabled() && !ok->isEnabled());

            grid->itemClicked(itemWithKey(grid, QStringLiteral("TIMEMS169")));
            QVERIFY(clear->isEnabled() && insert->isEnabled() && ok->isEnabled());
            clear->click();
            QVERIFY(!clear->isEnabled() && !insert->isEnabled() && !ok->isEnabled());

            grid->itemClicked(itemWithKey(grid, QStringLiteral("TIMEMS169")));
            grid->itemClicked(itemWithKey(grid, QStringLiteral("TIMEMS153")));
            insert->click();
            QCOMPARE(m_doc->Text(), QStringLiteral("Price\u00A9\u2122"));
            ok->click(); // inserts the same again and closes
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        QCOMPARE(m_doc->Text(), QStringLiteral("Price\u00A9\u2122\u00A9\u2122"));
        m_doc->setSelStart(5);
        m_doc->setSelLength(4);
        QCOMPARE(m_doc->SelFontName(), std::optional<QString>(QStringLiteral("DejaVu Serif")));
        QCOMPARE(m_doc->SelBold(), std::optional<bool>(true));
        QCOMPARE(m_doc->SelFontSize(), std::optional<double>(18));
        QCOMPARE(m_doc->SelAlignment(), std::optional<int>(RichTextBox::AlignCenter));
        QCOMPARE(m_doc->SelIndent(), std::optional<int>(720));
        QCOMPARE(fontSetting(), QStringLiteral("DejaVu Serif"));
    }

    void storedFontIsChosen()
    {
        clsLibrary::instance().REGSTRWRITE(
            clsLibrary::HKEY_CURRENT_USER,
            Identity::appKey() + QStringLiteral("\\frmSymbol\\Items"), QStringLiteral("Font Name"),
            QStringLiteral("liberation mono"));
        frmSymbol dlg(m_doc.get(), {});
        auto *fonts = child<QComboBox>(&dlg, "CBOFNTNM");
        if (fonts->findText(QStringLiteral("Liberation Mono")) < 0)
            QSKIP("Liberation Mono is not installed");
        QCOMPARE(fonts->currentText(), QStringLiteral("Liberation Mono"));
        QCOMPARE(child<QListWidget>(&dlg, "LVWSYMBOLS")->font().family(),
                 QStringLiteral("Liberation Mono"));
    }
};

QTEST_MAIN(tst_Symbol)
#include "tst_symbol.moc"
