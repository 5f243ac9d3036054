// The file properties request.

#include "chrome/frmProps.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "platform/UiServices.h"

void clsLibrary::GETPROPERTIES(QWidget *owner, const QString &path, QWidget *picture,
                               const QString &kind, const QString &title, const QString &extra,
                               QWidget *source) const
{
    AppState &st = AppState::instance();
    st.Properties = {owner, path, picture, kind, title, extra, source};
    {
        frmProps dialog(owner);
        UiServices::instance().execDialog(&dialog);
    }
    st.Properties = {};
}
