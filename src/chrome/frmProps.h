#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// File properties: name, type, location, size, modification time and attributes of a file, and
// the dimensions of a picture or the counts of a document. Describes the request stored in
// AppState::Properties by clsLibrary::GETPROPERTIES.
class frmProps : public QDialog
{
    Q_OBJECT
public:
    explicit frmProps(QWidget *parent = nullptr);
    ~frmProps() override;

    // Whether nobody may write the file.
    static bool ATTRREADONLY(const QString &path);
    // The path in the letter case stored on disk.
    static QString PROPERCASEPATH(const QString &path);
    // The text up to its first character 0.
    static QString TRIMNULL(const QString &text);
    // Fills the General tab; false when the file could not be examined (the fields it could not
    // fill stay empty).
    bool UPDATEINFO();

    QTabWidget *TABPROPS = nullptr;
    QFrame *FRAMGENERAL = nullptr;
    QFrame *FRAMPIC = nullptr;
    QFrame *FRAMDOCUMENT = nullptr;
    QLabel *PICICON = nullptr;
    QLineEdit *TXTFILENAME = nullptr;
    QLineEdit *TXTTYPE = nullptr;
    QLineEdit *TXTLOCATION = nullptr;
    QLineEdit *TXTSIZE = nullptr;
    QLineEdit *TXTMODIFIED = nullptr;
    // Read-only, hidden, archive.
    std::array<QCheckBox *, 3> CHKATTR{};
    QLineEdit *TXTPICTYPE = nullptr;
    QLineEdit *TXTPICWIDTH = nullptr;
    QLineEdit *TXTPICHEIGHT = nullptr;
    QLineEdit *TXTPICPIXELDEPTH = nullptr;
    QLineEdit *TXTDOCPATH = nullptr;
    QLineEdit *TXTWORDS = nullptr;
    QLineEdit *TXTDOCLEN = nullptr;
    QLineEdit *TXTDOCLINES = nullptr;
    QLineEdit *TXTDOCPAGES = nullptr;
    // The document's own summary, as its file gives it (RTF \info).
    QLineEdit *TXTTITLE = nullptr;
    QLineEdit *TXTSUBJECT = nullptr;
    QLineEdit *TXTAUTHOR = nullptr;
    QLineEdit *TXTCOMPANY = nullptr;
    QLineEdit *TXTKEYWORDS = nullptr;
    QLineEdit *TXTCREATED = nullptr;
    QLineEdit *TXTREVISED = nullptr;
    QPushButton *BTNCLOSE = nullptr;

    // The tab keys now shown, in order ("GENERAL", "PICTURE", "DOCUMENT").
    QStringList tabKeys() const;

private:
    void fillPicture(const QString &path);
    void fillDocument(const QString &path);
};
