#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QAction;
class QPushButton;
class clsMain;

// New document from a template: lists the ".rtt" files of the program's folder and of the
// user's templates folder. In
// default-template mode (opened from the preferences) it picks the default template instead.
class frmNew : public QDialog
{
    Q_OBJECT
public:
    frmNew(clsMain &cmd, bool defaultMode, QWidget *parent = nullptr);
    ~frmNew() override;

    QListWidget *LVWNEW = nullptr;
    QLabel *LBLNEW = nullptr;
    QLabel *LBLSEL = nullptr;
    QLineEdit *TXTSEL = nullptr;
    QPushButton *BTNNEW = nullptr;
    QPushButton *BTNOK = nullptr;
    QPushButton *BTNCANCEL = nullptr;
    QMenu *POPUP = nullptr;
    QAction *MNUNEWOPEN = nullptr;
    QAction *MNUNEWPROPS = nullptr;

    struct Template
    {
        QString name; // the file name up to the first "."
        QString path;
    };
    // The templates New offers, by name: the shipped ones and the user's own, a user's template
    // taking the place of a shipped one of the same name.
    static QList<Template> templates();

    // The template names as listed (file names up to the first ".").
    QStringList templateNames() const;
    // Selects the template of that name; false when it is not listed.
    bool selectTemplate(const QString &name);

private:
    void fill();
    void onItemClicked(QListWidgetItem *item);
    void onCreate();
    void createFromSelected();
    void showTemplateProperties();
    QString currentDefaultName() const;

    clsMain &m_cmd;
    bool m_defaultMode = false;
};
