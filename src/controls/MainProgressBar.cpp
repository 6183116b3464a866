#include "MainProgressBar.h"

#include "ProgressCyl.h"

void ConfigureMainProgressBar(TProgressCyl &bar)
{
    bar.setGeometry(485, 61, 210, 20);
    bar.SetBackBorderColor(Qt::black);
    bar.SetBackColor(ColorFromBGR(15656669));
    bar.SetBevelColor(SysColor::ButtonFace());
    bar.SetBevelInner(bvNone);
    bar.SetBevelOuter(bvNone);
    bar.SetBevelWidth(1);
    bar.SetBorderWidth(0);
    bar.SetColor(ColorFromBGR(15852508));
    bar.SetCylinderEffect(ceMedium);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    font.setBold(false);
    bar.setFont(font);
    bar.SetFontColor(Qt::black);
    bar.SetFontEffect(feShadowBottomRight);
    bar.SetFontShadowColor(SysColor::ButtonFace());
    bar.SetForeColor(ColorFromBGR(16744448));
    bar.SetForeLineColor(SysColor::Highlight());
    bar.SetMax(100);
    bar.SetShowText(false);
}
