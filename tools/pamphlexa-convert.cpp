// pamphlexa-convert IN OUT: converts files headlessly with the program's own readers.
#include <QCoreApplication>
#include <QTextStream>

#include "pictures/PictureConvert.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: pamphlexa-convert IN.pcx|IN.tga OUT.png\n";
        return 2;
    }
    const QString &in = args.at(1);
    const QString &out = args.at(2);
    if (isPictureExtension(in)) {
        QString error;
        if (!convertPictureToPng(in, out, &error)) {
            err << error << '\n';
            return 1;
        }
        return 0;
    }
    err << in << ": unsupported\n";
    return 1;
}
