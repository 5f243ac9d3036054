#pragma once

#include <QColor>
#include <QDialog>
#include <QPointer>
#include <QString>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class RichTextBox;

// The Symbol dialog: every character of a font as a grid; the characters clicked are collected
// in a preview in the document's formatting and inserted into the document as rich text. Modal.
class frmSymbol : public QDialog
{
    Q_OBJECT
public:
    // Pressed states of the formatting toolbar's bold, italic and underline buttons.
    struct Pressed
    {
        bool bold = false;
        bool italic = false;
        bool underline = false;
    };

    // Loads the dialog for the document text target: the preview takes the formatting of its
    // selection and the pressed toolbar buttons, the font list and grid the stored font.
    frmSymbol(RichTextBox *target, const Pressed &pressed, QWidget *parent = nullptr);
    // Unloads the dialog, storing the font and the placement.
    ~frmSymbol() override;

    // The grid's item key of a character code: "TIMEMS" and the code.
    static QString itemKey(int code);
    // The character of code 33 to 255 (Windows-1252); a null QChar for DEL and the codes the code
    // page leaves undefined, which the grid leaves out.
    static QChar characterOf(int code);

private:
    void fillGrid();
    void fontChosen();
    void itemClicked(QListWidgetItem *item);
    void previewChanged();
    void clearPreview();
    void insertPreview();
    // Gives the empty preview the document's formatting and the chosen font.
    void applyBaseFormat();

    QPointer<RichTextBox> m_target;
    Pressed m_pressed;
    // The document's selection formatting, captured at load (unset where the selection mixes
    // values).
    struct Base
    {
        std::optional<int> alignment;
        std::optional<bool> bullet;
        std::optional<int> hangingIndent;
        std::optional<int> indent;
        std::optional<int> charOffset;
        std::optional<double> size;
        std::optional<QColor> color;
    } m_base;

    QLabel *LBLFNTNM;
    QComboBox *CBOFNTNM;
    QGroupBox *FRAMSYMBOL;
    QListWidget *LVWSYMBOLS;
    QLabel *LBLSAMPLE;
    QGroupBox *PICRTF;
    RichTextBox *RTFSELECTED;
    QPushButton *BTNCLEAR;
    QPushButton *BTNINSERT;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;
};
