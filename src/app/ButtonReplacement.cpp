// The main window's colour scheme for buttons and drop-down lists: seventeen
// plain buttons of the page builders become colour buttons at the first
// activation, and ten lists draw their entries with the selected one on green.
#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Text.h"

namespace {

constexpr int kListItemHeight = 16;

// One item painter for all owner-drawn lists: the item on the list's own
// colours, a selected one on the button green, the text at the item's top left.
class TOwnerDrawnListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* canvas, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        canvas->save();
        canvas->fillRect(option.rect, selected ? pal.highlight() : pal.base());
        if (selected) canvas->fillRect(option.rect, ToQColor(ClrButtonFace));
        canvas->setFont(option.font);
        canvas->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        canvas->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         index.data(Qt::DisplayRole).toString());
        canvas->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kListItemHeight};
    }
};

} // namespace

void TMainForm::ReplaceButtonsWithColorButtons()
{
    // Table order; each member then names the colour button, so captions by
    // language, enabling and hiding all act on it.
    ReplaceWithColorButton(Button_Setup_SerialPort_Refresh, ClrButtonFace);
    ReplaceWithColorButton(Button_Setup_Device_Connect, ClrButtonFace);
    ReplaceWithColorButton(Button_Setup_SearchDevices, ClrButtonFace);
    ReplaceWithColorButton(Button_SendToDevice, ClrButtonFace);
    ReplaceWithColorButton(Button_Measurement_StartMeasuring, ClrButtonFace);
    ReplaceWithColorButton(Button_Setup_DateTime_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_Energie_MainCounters_StartMonitoring, ClrButtonFace);
    ReplaceWithColorButton(Button_Demand_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_Certified_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_Events_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_ResettableCounters_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_Resettable_Setup_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_Reset_Set_Submit, ClrButtonFace);
    ReplaceWithColorButton(Button_FreezeCounters_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_Freeze_Setup_Read, ClrButtonFace);
    ReplaceWithColorButton(Button_Freeze_Set, ClrButtonFace);
    ReplaceWithColorButton(Button_Demand_Interval_Read, ClrButtonFace);
    SetOwnerDrawnLists();
}

void TMainForm::SetOwnerDrawnLists()
{
    QComboBox* const lists[] = {
        ComboBox_DeviceSetup_Command, ComboBox_Change_Baudrate,      ComboBox_DisplayRefresh,
        ComboBox_Setup_Port_MBus,     ComboBox_Setup_DeviceBaudrate, ComboBox_Tariff,
        ComboBox_Set_Demand_Period,   ComboBox_Setup_DeviceSerialMode, ComboBox_Set_Webserver,
        ComboBox_Setup_Port_ModBus,
    };
    for (QComboBox* list : lists) {
        if (!list || dynamic_cast<TOwnerDrawnListDelegate*>(list->itemDelegate())) continue;
        list->setItemDelegate(new TOwnerDrawnListDelegate(list));
    }
}
