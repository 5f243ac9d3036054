#include "platform/TextObjectHandler.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

void TextObjectHandler::install(QTextDocument &document, int objectType, const char *name,
                                Size size, Draw draw)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    if (layout->findChild<TextObjectHandler *>(QLatin1String(name), Qt::FindDirectChildrenOnly))
        return;
    auto *handler = new TextObjectHandler(layout, size, draw);
    handler->setObjectName(QLatin1String(name));
    layout->registerHandler(objectType, handler);
}
