// The Help page: the brand band on top (logo with tool title and version, the
// maker's mark with rights line and web address), the help pane below, and
// the screen line at the bottom. Both brands' logos exist; the constructor
// shows the pair of the current brand.
#include <QLabel>
#include <QTextEdit>

#include "app/Logos.h"
#include "app/MainForm.h"
#include "app/PageBuilders.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr int kLogoSize = 64;
constexpr int kMiddleLogoSize = 44;

QLabel* Logo(QWidget* parent, const char* name, int left, int top, const QPixmap& pm)
{
    auto* l = Child<QLabel>(parent, name, left, top, pm.width(), pm.height());
    l->setPixmap(pm);
    return l;
}

} // namespace

void BuildHelpPage(TMainForm& f)
{
    QWidget* p = f.Page_Help;
    f.Tool_Image_Logo_TVK = Logo(p, "Tool_Image_Logo_TVK", 12, 10, DrawBrandLogo(1, kLogoSize));
    f.Tool_Image_Logo_NOLD = Logo(p, "Tool_Image_Logo_NOLD", 12, 10, DrawBrandLogo(2, kLogoSize));
    f.Label_Help_customer_left_logo = Child<QLabel>(p, "Label_Help_customer_left_logo", 88, 14, 330, 30);
    QFont title = f.Label_Help_customer_left_logo->font();
    title.setPointSize(15);
    title.setBold(true);
    f.Label_Help_customer_left_logo->setFont(title);
    f.Label_HelpVersion = Child<QLabel>(p, "Label_HelpVersion", 88, 46, 330, 20);

    f.Tool_Image_Logo_middle_TVK = Logo(p, "Tool_Image_Logo_middle_TVK", 440, 20, DrawBrandMiddleLogo(1, kMiddleLogoSize));
    f.Tool_Image_Logo_middle_NOLD =
        Logo(p, "Tool_Image_Logo_middle_NOLD", 440, 20, DrawBrandMiddleLogo(2, kMiddleLogoSize));
    f.Label_Help_middle_logo = Child<QLabel>(p, "Label_Help_middle_logo", 494, 18, 345, 22);
    f.Label_Help_middle_logo_web = Child<QLabel>(p, "Label_Help_middle_logo_web", 494, 42, 345, 22);
    QFont link = f.Label_Help_middle_logo_web->font();
    link.setUnderline(true);
    f.Label_Help_middle_logo_web->setFont(link);
    f.Label_Help_middle_logo_web->setCursor(Qt::PointingHandCursor);
    QPalette linkPalette = f.Label_Help_middle_logo_web->palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Link));
    f.Label_Help_middle_logo_web->setPalette(linkPalette);

    f.RichEdit_Help = Child<QTextEdit>(p, "RichEdit_Help", 8, 88, 833, 480);
    f.RichEdit_Help->setReadOnly(true);
    f.RichEdit_Help->setAcceptRichText(false);

    f.Label4 = Child<QLabel>(p, "Label4", 8, 574, 400, 20);
}
