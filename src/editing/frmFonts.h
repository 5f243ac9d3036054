#pragma once

#include <QColor>
#include <QDialog>
#include <optional>

#include "editing/FormatText.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class RichTextBox;

// Format > Font: sets every character attribute of the document's selection at once and can
// change the case of the selected text, with a live sample. Modal.
class frmFonts : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog with the selection's attributes of `rtf`.
    explicit frmFonts(RichTextBox *rtf, QWidget *parent = nullptr);
    ~frmFonts() override;

    // Applies the dialog's choices to the whole sample.
    void LABELUPDATE();

    QGroupBox *Frame2;
    QComboBox *CBOFNTNM;
    QComboBox *CBOFNTSZ;
    QGroupBox *Frame1;
    QCheckBox *CHKBOLD;
    QCheckBox *CHKITALIC;
    QCheckBox *CHKUNDERLINE;
    QCheckBox *CHKSTRIKETHROUGH;
    QCheckBox *CHKBULLETS;
    QGroupBox *FRAMCASE;
    QRadioButton *OPTCASENONE;
    QRadioButton *OPTCASEUPPER;
    QRadioButton *OPTCASELOWER;
    QRadioButton *OPTCASECAPS;
    QRadioButton *OPTCASESMALLCAPS;
    QGroupBox *FRAMSCRIPT;
    QRadioButton *OPTSUPERSCRIPT;
    QRadioButton *OPTNORMALSCRIPT;
    QRadioButton *OPTSUBSCRIPT;
    QGroupBox *Frame3;
    QPushButton *CPPALLETE;
    RichTextBox *TXTSAMPLE;
    RichTextBox *TXTSAMPLE2;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;

    // The colour the picker holds; nullopt while the selection's colours differ and none was
    // chosen.
    std::optional<QColor> pickedColor() const { return m_color; }

private:
    void loadSelection();
    void chooseColor();
    void showColor();
    void ok();
    FormatText::Case caseChoice() const;
    int charOffset() const;

    RichTextBox *m_rtf;
    std::optional<QColor> m_color;
};
