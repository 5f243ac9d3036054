#include "core/clsLibrary.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "platform/AppPaths.h"

QString clsLibrary::FILECHK(const QString &name) const
{
    return name.isEmpty() ? QStringLiteral("Untitled") : name;
}
QString clsLibrary::FILENAMELENCHK(const QString &path) const { return path; }
bool clsLibrary::CHARCHECK(const QString &text, const QString &ch) const { return !text.contains(ch); }
QString clsLibrary::TOKENLEFT(const QString &, const QString &) const { return {}; }
double clsLibrary::PIECE(const QString &, const QString &, int) const { return 0; }
qint32 clsLibrary::WORDCOUNT(const QString &) const { return 0; }
QString clsLibrary::CURRENCYFMT(const QString &) const { return {}; }
QString clsLibrary::TEXTJUSTIFY(const QString &) const { return {}; }
QString clsLibrary::TEXTJUSTIFYCURRENCY(const QString &) const { return {}; }
int clsLibrary::TXTCURRENCYLOCK(QWidget *, int keyCode) const { return keyCode; }
bool clsLibrary::FILEEXISTS(const QString &path) const { return QFileInfo(path).isFile(); }
bool clsLibrary::FOLDEREXIST(const QString &path) const { return QFileInfo(path).isDir(); }
bool clsLibrary::OVERWRITECHK(const QString &path) const { return !QFileInfo::exists(path); }
QString clsLibrary::GETWINDOWSDIR() const { return AppPaths::homeFolder(); }
QString clsLibrary::GETDESKTOPDIR() const { return AppPaths::desktopFolder(); }
QString clsLibrary::GETFOLDERPATH(const QString &path) const { return path; }
QString clsLibrary::FILESLOCATION() const { return AppPaths::programFolder() + QLatin1Char('/'); }
void clsLibrary::RESIZEBTNCLOSE(QWidget *) const {}
void clsLibrary::RESIZEBTNSOKCANCEL(QWidget *) const {}
void clsLibrary::COMBOINIT(QComboBox *, int, bool) const {}
