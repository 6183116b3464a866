#include "TitleButtons.h"

#include "ImageBt.h"

#include <QImage>

// The pictures are compiled into the controls library; this pulls them in when the library is
// linked statically.
static void loadTitleButtonPictures()
{
    Q_INIT_RESOURCE(dravik);
}

void ConfigureTitleBandButton(TImageBt &button, TTitleButton kind)
{
    loadTitleButtonPictures();
    QString name;
    QString hint;
    switch (kind) {
    case tbMinimize:
        name = QStringLiteral("minimize");
        hint = QStringLiteral("Minimize");
        break;
    case tbExit:
        name = QStringLiteral("exit");
        hint = QStringLiteral("Exit");
        break;
    case tbClose:
        name = QStringLiteral("close");
        hint = QStringLiteral("Close");
        break;
    }
    const QString base = QStringLiteral(":/buttons/") + name;
    button.SetPictNorm(QImage(base + QStringLiteral("_norm.png")));
    button.SetPictOver(QImage(base + QStringLiteral("_over.png")));
    button.SetPictPres(QImage(base + QStringLiteral("_pres.png")));
    button.SetTransparent(false);
    button.setFixedSize(21, 21);
    button.setCursor(Qt::PointingHandCursor);
    button.setToolTip(hint);
}
