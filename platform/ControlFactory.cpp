#include "platform/ControlFactory.h"

#include "platform/ClickLabel.h"
#include "platform/Cp1252.h"
#include "platform/DropDownList.h"
#include "platform/MultiLineEdit.h"
#include "platform/PushButton.h"
#include "platform/RichEditCtrl.h"
#include "platform/SingleLineEdit.h"
#include "platform/Wnd.h"

namespace {

// Long lists such as the 889 character names open thirty entries tall, not Qt's default ten.
constexpr int kVisibleListEntries = 30;

bool Has(const ControlTemplate& control, ControlStyle style)
{
    return control.style.testFlag(style);
}

Qt::ScrollBarPolicy ScrollBarPolicy(bool present, Qt::ScrollBarPolicy whenPresent)
{
    return present ? whenPresent : Qt::ScrollBarAlwaysOff;
}

QWidget* CreateLabel(const ControlTemplate& control, QWidget* parent)
{
    QLabel* label = Has(control, ControlStyle::Notify) ? new ClickLabel(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(cp1252::decode(control.text));
    if (Has(control, ControlStyle::CenterText)) {
        label->setAlignment(Qt::AlignCenter);
    } else {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    }
    if (Has(control, ControlStyle::SunkenEdge)) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    } else if (Has(control, ControlStyle::ModalFrameEdge)) {
        label->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    }
    return label;
}

QWidget* CreatePushButton(const ControlTemplate& control, QWidget* parent)
{
    auto* button = new PushButton(cp1252::decode(control.text), parent);
    button->setFlat(Has(control, ControlStyle::Flat));
    button->setDefault(Has(control, ControlStyle::DefaultButton));
    return button;
}

QWidget* CreateMultiLineEdit(const ControlTemplate& control, QWidget* parent)
{
    auto* edit = new MultiLineEdit(Has(control, ControlStyle::UpperCase), parent);
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode(Has(control, ControlStyle::AutoHScroll) ? QPlainTextEdit::NoWrap
                                                                  : QPlainTextEdit::WidgetWidth);
    // An edit box keeps the scroll bars its style asks for, needed or not.
    edit->setVerticalScrollBarPolicy(ScrollBarPolicy(Has(control, ControlStyle::VScroll), Qt::ScrollBarAlwaysOn));
    edit->setHorizontalScrollBarPolicy(ScrollBarPolicy(Has(control, ControlStyle::HScroll), Qt::ScrollBarAlwaysOn));
    if (!Has(control, ControlStyle::Border))
        edit->setFrameStyle(QFrame::NoFrame);
    if (Has(control, ControlStyle::ReadOnly)) {
        edit->setReadOnly(true);
        edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    edit->setControlText(cp1252::decode(control.text));
    return edit;
}

QWidget* CreateSingleLineEdit(const ControlTemplate& control, QWidget* parent)
{
    auto* edit = new SingleLineEdit(parent);
    edit->setFrame(Has(control, ControlStyle::Border));
    edit->setReadOnly(Has(control, ControlStyle::ReadOnly));
    edit->setControlText(cp1252::decode(control.text));
    return edit;
}

QWidget* CreateComboBox(const ControlTemplate& control, QWidget* parent)
{
    auto* list = new DropDownList(Has(control, ControlStyle::Sort), parent);
    list->setMaxVisibleItems(kVisibleListEntries);
    return list;
}

QWidget* CreateRichEdit(const ControlTemplate& control, QWidget* parent)
{
    QWidget* editor = CRichEditCtrl::CreateWidget(parent);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(editor)) {
        // The editor shows its scroll bars only while its text needs them.
        area->setVerticalScrollBarPolicy(ScrollBarPolicy(Has(control, ControlStyle::VScroll), Qt::ScrollBarAsNeeded));
        area->setHorizontalScrollBarPolicy(ScrollBarPolicy(Has(control, ControlStyle::HScroll), Qt::ScrollBarAsNeeded));
    }
    return editor;
}

QWidget* CreateWidget(const ControlTemplate& control, QWidget* parent)
{
    switch (control.kind) {
    case ControlKind::Label:
        return CreateLabel(control, parent);
    case ControlKind::PushButton:
        return CreatePushButton(control, parent);
    case ControlKind::Edit:
        return Has(control, ControlStyle::MultiLine) ? CreateMultiLineEdit(control, parent)
                                                     : CreateSingleLineEdit(control, parent);
    case ControlKind::ComboBox:
        return CreateComboBox(control, parent);
    case ControlKind::RichEdit:
        return CreateRichEdit(control, parent);
    }
    return nullptr;
}

Qt::FocusPolicy FocusPolicy(const ControlTemplate& control)
{
    if (Has(control, ControlStyle::TabStop))
        return Qt::StrongFocus;
    return control.kind == ControlKind::Label ? Qt::NoFocus : Qt::ClickFocus;
}

void KeepSelectionVisible(QWidget* widget)
{
    QPalette palette = widget->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    widget->setPalette(palette);
}

} // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent)
{
    QWidget* widget = CreateWidget(control, parent);
    widget->setObjectName(QString::fromLatin1(control.name.data(), qsizetype(control.name.size())));
    widget->setProperty(CWnd::kControlIdProperty, control.id);
    widget->setFocusPolicy(FocusPolicy(control));
    if (Has(control, ControlStyle::NoHideSelection))
        KeepSelectionVisible(widget);
    return widget;
}
