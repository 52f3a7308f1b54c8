#include "app/ColorButton.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QStyleOptionViewItem>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

#include "app/MainForm.h"
#include "app/Text.h"

namespace {

constexpr TColor kGreen = 0x72B148;

// Paints the button with the given item state into an image, as its paint event would.
QImage Draw(TColorButton& b, unsigned state)
{
    QImage img(b.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::magenta);
    QPainter p(&img);
    b.DrawButton(p, QRect(QPoint(0, 0), b.size()), state);
    return img;
}

// Pixels compared as 8-bit RGB: palette colours carry more precision than an image.
QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(const QColor& c) { return c.rgb() & 0xFFFFFF; }

// Bounding box of the pixels of colour c inside r.
QRect BoxOf(const QImage& img, const QColor& c, const QRect& r)
{
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (At(img, x, y) == Rgb(c)) box |= QRect(x, y, 1, 1);
    return box;
}

struct ColorButtonTest : ::testing::Test {
    QWidget host;
    TColorButton* b = nullptr;
    void SetUp() override
    {
        host.resize(200, 100);
        b = new TColorButton(&host);
        b->setGeometry(10, 10, 90, 25);
        b->setText(QStringLiteral("Read"));
        b->SetBackColor(kGreen);
        b->SetHoverColor(kGreen);
        b->SetForeColor(0x000000);
        // Exact colours at the glyph edges, so caption pixels can be told apart.
        QFont f = b->font();
        f.setStyleStrategy(QFont::NoAntialias);
        b->setFont(f);
    }
};

} // namespace

TEST_F(ColorButtonTest, DefaultsAreTheSystemButtonColours)
{
    TColorButton plain;
    EXPECT_EQ(plain.BackColor(), clBtnFace);
    EXPECT_EQ(plain.ForeColor(), clBtnText);
    EXPECT_EQ(plain.HoverColor(), clBtnFace);
    EXPECT_EQ(plain.size(), QSize(75, 25));
    EXPECT_EQ(plain.ResolveColor(clBtnFace), plain.palette().color(QPalette::Button));
    EXPECT_EQ(plain.ResolveColor(clBtnText), plain.palette().color(QPalette::ButtonText));
    EXPECT_EQ(plain.ResolveColor(0x332629), QColor(0x29, 0x26, 0x33));
    // The published properties carry the same 0x00BBGGRR values.
    EXPECT_EQ(plain.property("BackColor").toUInt(), clBtnFace);
    plain.setProperty("ForeColor", 0x0000FFu);
    EXPECT_EQ(plain.ForeColor(), 0x0000FFu);
}

TEST_F(ColorButtonTest, NormalFaceFrameAndCentredCaption)
{
    const QImage img = Draw(*b, 0);
    // The system frame is two pixels; the face lies inside it.
    EXPECT_NE(At(img, 0, 12), Rgb(ToQColor(kGreen)));
    EXPECT_NE(At(img, 1, 12), Rgb(ToQColor(kGreen)));
    EXPECT_EQ(At(img, 2, 2), Rgb(ToQColor(kGreen)));
    EXPECT_EQ(At(img, 87, 22), Rgb(ToQColor(kGreen)));
    EXPECT_NE(At(img, 88, 22), Rgb(ToQColor(kGreen)));
    const QRect text = BoxOf(img, Qt::black, QRect(2, 2, 86, 21));
    ASSERT_TRUE(text.isValid());
    // Centred in the face, in ForeColor.
    EXPECT_NEAR(text.center().x(), 45, 4);
    EXPECT_NEAR(text.center().y(), 12, 3);
}

TEST_F(ColorButtonTest, PressedShowsShadowRectangleAndShiftsFaceAndCaption)
{
    const QImage up = Draw(*b, 0);
    const QImage down = Draw(*b, TColorButton::odsSelected);
    const QRgb shadow = Rgb(b->ResolveColor(clBtnShadow));
    const QRgb green = Rgb(ToQColor(kGreen));
    // A one-pixel shadow line at the left and top edge instead of the system frame,
    // then a line of button face where the shifted face leaves a gap.
    EXPECT_EQ(At(down, 0, 12), shadow);
    EXPECT_EQ(At(down, 40, 0), shadow);
    EXPECT_EQ(At(down, 1, 12), Rgb(b->ResolveColor(clBtnFace)));
    EXPECT_EQ(At(down, 40, 1), Rgb(b->ResolveColor(clBtnFace)));
    EXPECT_EQ(At(down, 2, 2), green);
    // Moved one pixel right and down, the face reaches the right and bottom edge.
    EXPECT_EQ(At(down, 89, 24), green);
    EXPECT_NE(At(up, 89, 24), green);
    EXPECT_NE(At(up, 88, 23), green);
    const QRect upText = BoxOf(up, Qt::black, up.rect());
    const QRect downText = BoxOf(down, Qt::black, down.rect());
    ASSERT_TRUE(upText.isValid() && downText.isValid());
    EXPECT_EQ(downText.topLeft() - upText.topLeft(), QPoint(1, 1));
}

TEST_F(ColorButtonTest, DisabledCaptionIsEmbossedNotForeColor)
{
    b->setEnabled(false);
    const QImage img = Draw(*b, TColorButton::odsDisabled);
    const QRect face(2, 2, 86, 21);
    EXPECT_FALSE(BoxOf(img, Qt::black, face).isValid()) << "ForeColor must not be used";
    const QRect dark = BoxOf(img, b->ResolveColor(clBtnShadow), face);
    const QRect light = BoxOf(img, b->ResolveColor(clBtnHighlight), face);
    ASSERT_TRUE(dark.isValid());
    ASSERT_TRUE(light.isValid());
    EXPECT_EQ(light.bottomRight() - dark.bottomRight(), QPoint(1, 1));
    EXPECT_NEAR(dark.center().x(), 45, 4);
}

TEST_F(ColorButtonTest, DefaultAndFocusedFrames)
{
    const QRgb frame = Rgb(b->ResolveColor(clWindowFrame));
    // Neither focused nor default: no dark outline.
    EXPECT_NE(At(Draw(*b, 0), 40, 0), frame);

    // Focus state without the kept focus: outline, no focus rectangle.
    QImage img = Draw(*b, TColorButton::odsFocus);
    for (QPoint p : {QPoint(0, 0), QPoint(89, 0), QPoint(0, 24), QPoint(89, 24), QPoint(45, 24)})
        EXPECT_EQ(At(img, p.x(), p.y()), frame) << p.x() << "," << p.y();
    EXPECT_EQ(At(img, 4, 10), Rgb(ToQColor(kGreen)));

    // Focused and default: a dotted rectangle 4 pixels inside the edge.
    b->SetButtonStyle(true);
    img = Draw(*b, TColorButton::odsFocus);
    EXPECT_EQ(At(img, 0, 0), frame);
    int inverted = 0;
    for (int x = 4; x <= 85; ++x) inverted += At(img, x, 4) != Rgb(ToQColor(kGreen));
    EXPECT_GE(inverted, 38);   // every second pixel
    EXPECT_LE(inverted, 42);
    EXPECT_EQ(At(img, 5, 10), Rgb(ToQColor(kGreen))) << "only the rectangle itself is drawn";
    EXPECT_EQ(At(img, 3, 10), Rgb(ToQColor(kGreen)));

    // Kept default style alone (focus elsewhere): outline only.
    img = Draw(*b, 0);
    EXPECT_EQ(At(img, 0, 0), frame);
    EXPECT_EQ(At(img, 4, 10), Rgb(ToQColor(kGreen)));
}

TEST_F(ColorButtonTest, MultiLineCaptionIsDrawnOnOneLine)
{
    b->resize(90, 40);
    b->setText(QStringLiteral("Re\nad"));
    const QImage two = Draw(*b, 0);
    b->setText(QStringLiteral("Re ad"));
    const QImage one = Draw(*b, 0);
    EXPECT_EQ(BoxOf(two, Qt::black, two.rect()), BoxOf(one, Qt::black, one.rect()));
}

namespace {
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};
} // namespace

TEST_F(ColorButtonTest, EqualColourSchedulesNoRepaint)
{
    PaintCounter counter;
    b->installEventFilter(&counter);
    host.show();
    QApplication::processEvents();
    QApplication::processEvents();
    const int before = counter.paints;
    ASSERT_GT(before, 0);

    b->SetBackColor(b->BackColor());
    b->SetForeColor(b->ForeColor());
    b->SetHoverColor(b->HoverColor());
    b->SetButtonStyle(b->IsFocused());
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, before);

    using Setter = void (*)(TColorButton&, TColor);
    const Setter setters[] = {
        [](TColorButton& x, TColor c) { x.SetBackColor(c); },
        [](TColorButton& x, TColor c) { x.SetForeColor(c); },
        [](TColorButton& x, TColor c) { x.SetHoverColor(c); },
    };
    for (Setter set : setters) {
        const int n = counter.paints;
        set(*b, 0x123456 + n);
        QApplication::processEvents();
        EXPECT_GT(counter.paints, n);
    }
}

TEST_F(ColorButtonTest, PaintEventDrawsTheWidgetsOwnState)
{
    auto* other = new QPushButton(&host);
    other->setGeometry(110, 10, 50, 25);
    host.show();
    host.activateWindow();
    other->setFocus();
    QApplication::processEvents();
    const QRgb green = Rgb(ToQColor(kGreen));
    const QRgb frame = Rgb(b->ResolveColor(clWindowFrame));

    QImage img = b->grab().toImage();
    EXPECT_EQ(At(img, 45, 4), green);
    EXPECT_NE(At(img, 0, 0), frame);

    b->setDown(true);
    img = b->grab().toImage();
    EXPECT_EQ(At(img, 0, 12), Rgb(b->ResolveColor(clBtnShadow)));
    EXPECT_EQ(At(img, 89, 24), green);
    b->setDown(false);

    b->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(b->hasFocus());
    EXPECT_TRUE(b->IsFocused());
    img = b->grab().toImage();
    EXPECT_EQ(At(img, 0, 0), frame);
    EXPECT_NE(At(img, 4, 4), green);   // first dot of the focus rectangle
    EXPECT_EQ(At(img, 5, 4), green);

    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(b->IsFocused());

    b->setEnabled(false);
    img = b->grab().toImage();
    EXPECT_FALSE(BoxOf(img, Qt::black, QRect(2, 2, 86, 21)).isValid());
    EXPECT_TRUE(BoxOf(img, b->ResolveColor(clBtnShadow), QRect(2, 2, 86, 21)).isValid());
}

TEST_F(ColorButtonTest, HoverSwapsToHoverColourAndRestores)
{
    b->SetHoverColor(0x0000FF);
    const QPointF pos(5, 5);
    QEnterEvent enter(pos, pos, pos);
    QApplication::sendEvent(b, &enter);
    EXPECT_EQ(b->BackColor(), 0x0000FFu);
    EXPECT_EQ(b->SavedColor(), kGreen);

    // A face set while the mouse is inside is replaced by the saved one on leaving.
    b->SetBackColor(0x00FF00);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(b->BackColor(), kGreen);

    // A leave with no enter before it keeps the face.
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(b->BackColor(), kGreen);
}

TEST_F(ColorButtonTest, EqualHoverColourKeepsTheFace)
{
    const QPointF pos(5, 5);
    QEnterEvent enter(pos, pos, pos);
    QApplication::sendEvent(b, &enter);
    EXPECT_EQ(b->BackColor(), kGreen);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(b->BackColor(), kGreen);
}

TEST(ReplaceWithColorButton, TakesOverCaptionGeometryParentAndHandler)
{
    QWidget host;
    auto* old = new QPushButton(&host);
    old->setObjectName(QStringLiteral("Button_X"));
    old->setText(QStringLiteral("Scan"));
    old->setGeometry(12, 34, 81, 30);
    old->setEnabled(false);
    old->hide();
    int clicks = 0;
    ConnectClick(old, [&clicks] { ++clicks; });
    ConnectClick(old, [&clicks] { clicks += 10; });   // a later handler replaces the first
    QPointer<QPushButton> oldGuard = old;
    EXPECT_TRUE(HasConnectedClick(old));

    QPushButton* member = old;
    TColorButton* b = ReplaceWithColorButton(member, 0x72B148);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(oldGuard.isNull());
    EXPECT_EQ(member, b);
    EXPECT_EQ(b->objectName(), QStringLiteral("Button_X"));
    EXPECT_EQ(b->text(), QStringLiteral("Scan"));
    EXPECT_EQ(b->geometry(), QRect(12, 34, 81, 25));
    EXPECT_EQ(b->parentWidget(), &host);
    EXPECT_EQ(b->BackColor(), 0x72B148u);
    EXPECT_EQ(b->HoverColor(), 0x72B148u);
    EXPECT_EQ(b->ForeColor(), clBtnText);
    // Enabled and shown again: only caption, position and handler are carried over.
    EXPECT_TRUE(b->isEnabled());
    EXPECT_FALSE(b->isHidden());
    b->click();
    EXPECT_EQ(clicks, 10);
    EXPECT_TRUE(HasConnectedClick(b));

    // Replacing the replacement keeps the one handler, run once per click.
    ReplaceWithColorButton(member, 0x72B148);
    member->click();
    EXPECT_EQ(clicks, 20);

    QPushButton* none = nullptr;
    EXPECT_EQ(ReplaceWithColorButton(none, 0x72B148), nullptr);
}

namespace {

struct NamedButton {
    const char* name;
    QPushButton* TMainForm::*member;
};

// The main window's buttons that become colour buttons, in their order.
const NamedButton kReplacedButtons[] = {
    {"Button_Setup_SerialPort_Refresh", &TMainForm::Button_Setup_SerialPort_Refresh},
    {"Button_Setup_Device_Connect", &TMainForm::Button_Setup_Device_Connect},
    {"Button_Setup_SearchDevices", &TMainForm::Button_Setup_SearchDevices},
    {"Button_SendToDevice", &TMainForm::Button_SendToDevice},
    {"Button_Measurement_StartMeasuring", &TMainForm::Button_Measurement_StartMeasuring},
    {"Button_Setup_DateTime_Read", &TMainForm::Button_Setup_DateTime_Read},
    {"Button_Energie_MainCounters_StartMonitoring", &TMainForm::Button_Energie_MainCounters_StartMonitoring},
    {"Button_Demand_Read", &TMainForm::Button_Demand_Read},
    {"Button_Certified_Read", &TMainForm::Button_Certified_Read},
    {"Button_Events_Read", &TMainForm::Button_Events_Read},
    {"Button_ResettableCounters_Read", &TMainForm::Button_ResettableCounters_Read},
    {"Button_Resettable_Setup_Read", &TMainForm::Button_Resettable_Setup_Read},
    {"Button_Reset_Set_Submit", &TMainForm::Button_Reset_Set_Submit},
    {"Button_FreezeCounters_Read", &TMainForm::Button_FreezeCounters_Read},
    {"Button_Freeze_Setup_Read", &TMainForm::Button_Freeze_Setup_Read},
    {"Button_Freeze_Set", &TMainForm::Button_Freeze_Set},
    {"Button_Demand_Interval_Read", &TMainForm::Button_Demand_Interval_Read},
};

QComboBox* TMainForm::*const kOwnerDrawnLists[] = {
    &TMainForm::ComboBox_DeviceSetup_Command, &TMainForm::ComboBox_Change_Baudrate,
    &TMainForm::ComboBox_DisplayRefresh,      &TMainForm::ComboBox_Setup_Port_MBus,
    &TMainForm::ComboBox_Setup_DeviceBaudrate, &TMainForm::ComboBox_Tariff,
    &TMainForm::ComboBox_Set_Demand_Period,   &TMainForm::ComboBox_Setup_DeviceSerialMode,
    &TMainForm::ComboBox_Set_Webserver,       &TMainForm::ComboBox_Setup_Port_ModBus,
};

// Paints item 0 of a list with its delegate; returns the pixel in the item's middle.
QRgb PaintItem(QComboBox* list, bool selected)
{
    if (list->count() == 0) list->addItem(QStringLiteral("9600"));
    QStyleOptionViewItem option;
    option.initFrom(list->view());
    option.rect = QRect(0, 0, 120, 16);
    option.font = list->font();
    option.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
    QImage img(120, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::magenta);
    QPainter p(&img);
    list->itemDelegate()->paint(&p, option, list->model()->index(0, 0));
    p.end();
    return At(img, 118, 14);
}

} // namespace

TEST(MainWindowButtons, SeventeenBecomeColourButtonsWithTheirHandlers)
{
    TMainForm f;
    struct Before {
        QPointer<QPushButton> old;
        QString caption;
        QRect geometry;
        QWidget* parent;
    };
    std::vector<Before> before;
    std::vector<int> clicks(std::size(kReplacedButtons), 0);
    for (size_t i = 0; i < std::size(kReplacedButtons); ++i) {
        const auto& nb = kReplacedButtons[i];
        QPushButton* old = f.*nb.member;
        ASSERT_NE(old, nullptr) << nb.name;
        EXPECT_EQ(old->objectName(), QString::fromLatin1(nb.name));
        // Whatever the page connected, this handler tells the buttons apart.
        ConnectClick(old, [&clicks, i] { ++clicks[i]; });
        before.push_back({old, old->text(), old->geometry(), old->parentWidget()});
    }
    f.Button_SendToDevice->setEnabled(false);
    f.Button_Freeze_Setup_Read->hide();

    f.ReplaceButtonsWithColorButtons();

    for (size_t i = 0; i < std::size(kReplacedButtons); ++i) {
        const auto& nb = kReplacedButtons[i];
        const Before& was = before[i];
        auto* b = qobject_cast<TColorButton*>(f.*nb.member);
        ASSERT_NE(b, nullptr) << nb.name;
        EXPECT_TRUE(was.old.isNull()) << nb.name << ": the old button must be gone";
        EXPECT_EQ(b->objectName(), QString::fromLatin1(nb.name));
        EXPECT_EQ(f.findChildren<QPushButton*>(QString::fromLatin1(nb.name)).size(), 1) << nb.name;
        EXPECT_EQ(b->text(), was.caption) << nb.name;
        EXPECT_EQ(b->parentWidget(), was.parent) << nb.name;
        EXPECT_EQ(b->geometry(), QRect(was.geometry.x(), was.geometry.y(), was.geometry.width(), 25)) << nb.name;
        EXPECT_EQ(b->BackColor(), ClrButtonFace) << nb.name;
        EXPECT_EQ(b->HoverColor(), ClrButtonFace) << nb.name;
        // Not disabled or hidden itself, whatever the old one was; its group box may be.
        EXPECT_TRUE(b->isEnabledTo(b->parentWidget())) << nb.name;
        EXPECT_FALSE(b->isHidden()) << nb.name;
        Q_EMIT b->clicked();
    }
    for (size_t i = 0; i < std::size(kReplacedButtons); ++i)
        EXPECT_EQ(clicks[i], 1) << kReplacedButtons[i].name;
}

TEST(MainWindowLists, SelectedEntryOnGreenOthersOnTheListsColour)
{
    TMainForm f;
    f.SetOwnerDrawnLists();
    f.SetOwnerDrawnLists();   // a second call changes nothing
    for (auto member : kOwnerDrawnLists) {
        QComboBox* list = f.*member;
        ASSERT_NE(list, nullptr);
        const QString name = list->objectName();
        EXPECT_EQ(PaintItem(list, true), Rgb(ToQColor(ClrButtonFace))) << name.toStdString();
        EXPECT_EQ(PaintItem(list, false), Rgb(list->view()->palette().color(QPalette::Base))) << name.toStdString();
        QStyleOptionViewItem option;
        option.initFrom(list->view());
        EXPECT_EQ(list->itemDelegate()->sizeHint(option, list->model()->index(0, 0)).height(), 16);
    }
    // The logger count lists keep the system's drawing.
    for (QComboBox* list : {f.ComboBox_Demand, f.ComboBox_Events, f.ComboBox_Certified}) {
        ASSERT_NE(list, nullptr);
        EXPECT_NE(PaintItem(list, true), Rgb(ToQColor(ClrButtonFace))) << list->objectName().toStdString();
    }
}
