#include <QLabel>
#include <QProgressBar>
#include <QRect>

#include "app/ProgrWin.h"

void TProgrWinForm::ArrangeLines()
{
    // A counting display's item text would print over a line 1 that has text
    // ("Data Reading..."): it goes to the free row under it instead.
    const bool lineOneTaken = !Label_ProgrBar1->isHidden() && !Label_ProgrBar1->text().isEmpty() &&
                              Label_ProgrBar1->y() == ProgrWinLineTop;
    const bool rowUnderFree = Label_ProgrBar2->isHidden();
    Label_ProgrBar0->move(Label_ProgrBar0->x(),
                          lineOneTaken && rowUnderFree ? ProgrWinSecondLineTop : ProgrWinLineTop);
    QRect icons;
    for (const QLabel* icon : {ProgrWinIconInfo, ProgrWinIconError, ProgrWinIconWarning})
        if (!icon->isHidden()) icons |= icon->geometry();
    // A counting report with its icon ("The number of Demand items: 10") shows the bar as well.
    const QRect bar = ProgrWin_ProgressBar->geometry();
    const bool barInIconRows = icons.isValid() && bar.top() <= icons.bottom() && bar.bottom() >= icons.top();
    const int barLeft = barInIconRows ? icons.right() + 1 + ProgrWinIconGap : ProgrWinBarLeft;
    ProgrWin_ProgressBar->setGeometry(barLeft, bar.top(), ProgrWinBarLeft + ProgrWinBarWidth - barLeft, bar.height());
    const int windowWidth = width();
    for (QLabel* line : {Label_ProgrBar0, Label_ProgrBar1, Label_ProgrBar2, Label_ProgrBar3}) {
        const QRect g = line->geometry();
        const bool inIconRows = icons.isValid() && g.top() <= icons.bottom() && g.bottom() >= icons.top();
        const int left = inIconRows ? icons.right() + 1 + ProgrWinIconGap : ProgrWinLineMargin;
        line->setGeometry(left, g.top(), windowWidth - ProgrWinLineMargin - left, g.height());
    }
}
