#pragma once

#include <QDialog>

class FormatSpin;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class RichTextBox;

// Format > Tabs: the tab stops of the selected paragraphs, listed in inches. Modal.
class frmTabs : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog with the tab stops of `rtf`'s selection.
    explicit frmTabs(RichTextBox *rtf, QWidget *parent = nullptr);
    ~frmTabs() override;

    // The stops listed, in inches, as the list shows them.
    QStringList tabs() const;

    QGroupBox *FRAMTABS;
    QLabel *LBLSEL;
    QListWidget *LSTTABS;
    QLabel *LBLDESC;
    FormatSpin *UDNTAB;
    QListWidget *LSTTABS2;
    QPushButton *BTNADD;
    QPushButton *BTNCLEAR;
    QPushButton *BTNCLEARALL;
    QPushButton *BTNRESET;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;

signals:
    // OK wrote the stops to the document.
    void applied();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void load();
    void add();
    void clearOne();
    void clearAll();
    void reset();
    void ok();
    void setList(const QStringList &tabs);

    RichTextBox *m_rtf;
};
