#pragma once

#include <QColor>
#include <QDialog>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class RichTextBox;

// The HTML colour code list: keeps codes in the settings store, shows the colour of the chosen
// code and inserts it into the active document. Modeless, owned by the main window; one at a
// time.
class frmHTMLCode : public QDialog
{
    Q_OBJECT
public:
    // Gives the active document's text when a code is inserted (nullptr when none is open).
    using ActiveText = std::function<RichTextBox *()>;

    // Loads the window: placement, the sample in the active document's text colour and the
    // stored codes.
    explicit frmHTMLCode(ActiveText activeText, QWidget *parent = nullptr);
    // Unloads the window, saving its placement.
    ~frmHTMLCode() override;

    // Shows the program's code window, loading it (owned by owner) when it is not loaded.
    static frmHTMLCode *SHOW(QWidget *owner, ActiveText activeText);
    // Unloads the code window when it is loaded.
    static void UNLOAD();
    // The loaded code window, or nullptr.
    static frmHTMLCode *loaded();

    // The codes in list order.
    QStringList codes() const;
    // The colour the sample shows.
    QColor sampleColor() const { return m_sample; }

private:
    void selectionChanged();
    void appendCode(const QString &code);
    void addFromColorDialog();
    void addFromCode();
    void modifySelected();
    void clearSelected();
    void clearAll();
    void insertSelected();
    void saveAndClose();
    void listChanged();
    void setSample(const QColor &color);
    void showComponents(const QString &code);

    ActiveText m_activeText;
    QColor m_documentColor;
    QColor m_sample;
    bool m_changed = false;

    QGroupBox *FRAMHTML;
    QListWidget *LSTPREVIOUS;
    QGroupBox *FRAMSAMPLE;
    QFrame *PICCOLOR;
    QLabel *LBLREDDESC;
    QLabel *LBLRED;
    QLabel *LBLGREENDESC;
    QLabel *LBLGREEN;
    QLabel *LBLBLUEDESC;
    QLabel *LBLBLUE;
    QPushButton *BTNADD;
    QPushButton *Command1;
    QPushButton *BTNMODIFY;
    QPushButton *BTNCLEAR;
    QPushButton *BTNCLEARALL;
    QPushButton *BTNINSERT;
    QPushButton *BTNOK;
    QPushButton *BTNSAVEANDCLOSE;
    QPushButton *BTNCANCEL;
};
