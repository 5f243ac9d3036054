#pragma once

#include <QDialog>
#include <array>

class FormatSpin;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class RichTextBox;

// Format > Paragraph: the alignment and the three indents of the selected paragraphs, shown in
// inches. Modal.
class frmParagrph : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog with the paragraph format of `rtf`'s selection; `printableInches` is the
    // page's printable width the right field is measured with.
    frmParagrph(RichTextBox *rtf, double printableInches, QWidget *parent = nullptr);
    ~frmParagrph() override;

    // The printable width in inches for the current page set-up: the printer's page width in
    // whole inches less the stored left and right page margins.
    static double printableWidth();

    QGroupBox *FRAMALIGN;
    std::array<QRadioButton *, 3> OPTALIGN;
    QGroupBox *FRAMINDENT;
    QLabel *LBLFIRSTLINE;
    FormatSpin *UDNFLINE;
    QLabel *LBLLEFT;
    FormatSpin *UDNLEFT;
    QLabel *LBLRIGHT;
    FormatSpin *UDNRIGHT;
    std::array<QLabel *, 3> LBLINCHES;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;

signals:
    // OK wrote the format to the document.
    void applied();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void load();
    void ok();

    RichTextBox *m_rtf;
    double m_printable;
};
