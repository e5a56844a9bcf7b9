#include "platform/Dialog.h"

#include "platform/ClickLabel.h"
#include "platform/ControlFactory.h"
#include "platform/Cp1252.h"
#include "platform/DesktopServices.h"
#include "platform/DropDownList.h"
#include "platform/Exception.h"
#include "platform/ProgramName.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

// The Qt window of a CDialog: it hands the dialog its timer ticks, the OK and Cancel requests and,
// as an application-wide event filter, every input event.
class DialogWindow : public QDialog {
public:
    DialogWindow(CDialog& owner, QWidget* parent, Qt::WindowFlags flags)
        : QDialog(parent, flags), m_owner(owner)
    {
        qApp->installEventFilter(this);
    }

    ~DialogWindow() override { qApp->removeEventFilter(this); }

    void accept() override { m_owner.OnOK(); }
    void reject() override { m_owner.OnCancel(); }
    void end(int result) { QDialog::done(result); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return watched->isWidgetType() && m_owner.FilterEvent(static_cast<QWidget*>(watched), event);
    }

    void timerEvent(QTimerEvent* event) override
    {
        const auto timer = m_owner.m_timers.find(event->timerId());
        if (timer == m_owner.m_timers.end()) {
            QDialog::timerEvent(event);
            return;
        }
        m_owner.SendMessage({DialogEvent::Timer, int(timer->second)});
    }

private:
    CDialog& m_owner;
};

namespace {

Qt::WindowFlags WindowFlags(DialogStyles style)
{
    struct StyleHints {
        DialogStyle style;
        Qt::WindowFlags hints;
    };
    static const StyleHints kHints[] = {
        {DialogStyle::Caption, Qt::WindowTitleHint},
        {DialogStyle::SystemMenu, Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint},
        {DialogStyle::MinimizeBox, Qt::WindowMinimizeButtonHint},
    };
    // A window of its own kind, not a dialog, gets a task-bar button from the window manager.
    Qt::WindowFlags flags = style.testFlag(DialogStyle::AppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    for (const StyleHints& entry : kHints) {
        if (style.testFlag(entry.style))
            flags |= entry.hints;
    }
    return flags;
}

// The template's face where it is installed, else the closest sans-serif face; the size in whole
// pixels, as the desktop rounds a point size.
QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    QFont font(QString::fromLatin1(dialogTemplate.fontFace.data(), qsizetype(dialogTemplate.fontFace.size())));
    font.setStyleHint(QFont::SansSerif);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
    font.setPixelSize(MulDiv(dialogTemplate.fontPointSize, dpi, 72));
    return font;
}

bool IsComboBoxPopup(const QWidget* widget)
{
    return widget->windowType() == Qt::Popup && qobject_cast<const QComboBox*>(widget->parentWidget());
}

WPARAM VirtualKey(const QKeyEvent& event)
{
    struct KeyCode {
        int key;
        WPARAM virtualKey;
    };
    static constexpr KeyCode kKeyCodes[] = {
        {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},       {Qt::Key_Escape, VK_ESCAPE},
        {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},       {Qt::Key_Left, VK_LEFT},
        {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},     {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},
    };
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return WPARAM(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + WPARAM(key - Qt::Key_F1);
    const auto* code = std::find_if(std::begin(kKeyCodes), std::end(kKeyCodes),
                                    [key](const KeyCode& entry) { return entry.key == key; });
    return code != std::end(kKeyCodes) ? code->virtualKey : 0;
}

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    struct MouseCode {
        QEvent::Type type;
        Qt::MouseButton button;
        UINT message;
    };
    static constexpr MouseCode kMouseCodes[] = {
        {QEvent::MouseMove, Qt::NoButton, WM_MOUSEMOVE},
        {QEvent::MouseButtonPress, Qt::LeftButton, WM_LBUTTONDOWN},
        {QEvent::MouseButtonRelease, Qt::LeftButton, WM_LBUTTONUP},
        {QEvent::MouseButtonDblClick, Qt::LeftButton, WM_LBUTTONDBLCLK},
        {QEvent::MouseButtonPress, Qt::RightButton, WM_RBUTTONDOWN},
        {QEvent::MouseButtonRelease, Qt::RightButton, WM_RBUTTONUP},
        {QEvent::MouseButtonDblClick, Qt::RightButton, WM_RBUTTONDBLCLK},
        {QEvent::MouseButtonPress, Qt::MiddleButton, WM_MBUTTONDOWN},
        {QEvent::MouseButtonRelease, Qt::MiddleButton, WM_MBUTTONUP},
        {QEvent::MouseButtonDblClick, Qt::MiddleButton, WM_MBUTTONDBLCLK},
    };
    const auto* code = std::find_if(std::begin(kMouseCodes), std::end(kMouseCodes), [&](const MouseCode& entry) {
        return entry.type == type && entry.button == button;
    });
    return code != std::end(kMouseCodes) ? code->message : 0;
}

MSG KeyMessage(QWidget* target, UINT message, const QKeyEvent& key)
{
    return MSG{target, message, VirtualKey(key), QCursor::pos()};
}

std::optional<MSG> TranslateInputEvent(QWidget* target, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return KeyMessage(target, WM_KEYDOWN, *static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        return KeyMessage(target, WM_KEYUP, *static_cast<QKeyEvent*>(event));
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const UINT message = MouseMessage(event->type(), mouse->button());
        if (message == 0)
            return std::nullopt;
        return MSG{target, message, 0, mouse->globalPosition().toPoint()};
    }
    default:
        return std::nullopt;
    }
}

bool TakesControlId(DialogEvent event)
{
    return event != DialogEvent::SysCommand && event != DialogEvent::Timer;
}

} // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.GetSafeHwnd())
        return;
    [[maybe_unused]] const bool bound = control.SubclassDlgItem(id, pDX->m_pDlgWnd);
    Q_ASSERT_X(bound, "DDX_Control", "the template has no control of this identifier and kind");
}

CDialog::CDialog(const DialogTemplate& dialogTemplate, CWnd* parent)
    : m_template(dialogTemplate), m_pParentWnd(parent)
{
}

CDialog::~CDialog()
{
    DestroyWindow();
}

DialogWindow* CDialog::Window() const
{
    return static_cast<DialogWindow*>(m_hWnd.data());
}

INT_PTR CDialog::DoModal()
{
    if (!Create())
        return -1;
    const int result = Window()->exec();
    DestroyWindow();
    return result;
}

BOOL CDialog::Create()
{
    if (m_hWnd)
        return FALSE;
    QWidget* parent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    auto* window = new DialogWindow(*this, parent, WindowFlags(m_template.style));
    window->setWindowTitle(cp1252::decode(m_template.caption));
    const QFont font = DialogFont(m_template);
    window->setFont(font);
    m_units = DialogUnits::FromFont(font);
    window->setFixedSize(m_units->ToPixels(m_template.cx, m_template.cy));
    m_hWnd = window;
    CreateControls();
    if (OnInitDialog())
        FocusFirstTabStop();
    return TRUE;
}

void CDialog::CreateControls()
{
    QWidget* window = m_hWnd;
    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : m_template.controls) {
        QWidget* widget = CreateControl(control, window);
        widget->setGeometry(m_units->ToPixels(control.rect));
        const int id = control.id;
        const auto clicked = [this, id] { SendMessage({DialogEvent::Clicked, id}); };
        if (auto* label = qobject_cast<ClickLabel*>(widget))
            QObject::connect(label, &ClickLabel::clicked, window, clicked);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QObject::connect(button, &QAbstractButton::clicked, window, clicked);
        else if (auto* list = qobject_cast<DropDownList*>(widget))
            QObject::connect(list, &DropDownList::selectionChanged, window,
                             [this, id] { SendMessage({DialogEvent::SelChange, id}); });
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousTabStop)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
        m_controls.push_back(widget);
    }
}

void CDialog::FocusFirstTabStop()
{
    for (std::size_t i = 0; i < m_template.controls.size(); ++i) {
        if (m_template.controls[i].style.testFlag(ControlStyle::TabStop) && m_controls[i]->isEnabled()) {
            m_controls[i]->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CDialog::DestroyWindow()
{
    // Nothing a control reports while it goes reaches a handler.
    QWidget* window = m_hWnd;
    m_hWnd = nullptr;
    delete window;
    m_controls.clear();
    m_timers.clear();
    m_swallowContextMenu = false;
    m_announcedKey.reset();
}

void CDialog::EndDialog(int result)
{
    if (DialogWindow* window = Window())
        window->end(result);
}

QWidget* CDialog::GetDlgItem(int id) const
{
    const auto control = std::find_if(m_controls.begin(), m_controls.end(), [id](const QWidget* widget) {
        return widget->property(kControlIdProperty).toInt() == id;
    });
    return control != m_controls.end() ? *control : nullptr;
}

void CDialog::SetDlgItemText(int id, const std::string& text)
{
    CWnd control;
    if (control.SubclassDlgItem(id, this))
        control.SetWindowText(text);
}

std::string CDialog::GetDlgItemText(int id) const
{
    CWnd control;
    return control.SubclassDlgItem(id, m_hWnd.data()) ? control.GetWindowText() : std::string();
}

UINT_PTR CDialog::SetTimer(UINT_PTR id, UINT elapseMs)
{
    DialogWindow* window = Window();
    if (!window)
        return 0;
    std::erase_if(m_timers, [&](const auto& timer) {
        if (timer.second != id)
            return false;
        window->killTimer(timer.first);
        return true;
    });
    const int qtTimer = window->startTimer(int(elapseMs), Qt::PreciseTimer);
    if (qtTimer == 0)
        return 0;
    m_timers[qtTimer] = id;
    return id;
}

void CDialog::SetIcon(const QIcon& icon, BOOL)
{
    if (m_hWnd)
        m_hWnd->setWindowIcon(icon);
}

void CDialog::PostMessage(const DialogMessage& message)
{
    if (DialogWindow* window = Window())
        QMetaObject::invokeMethod(window, [this, message] { SendMessage(message); }, Qt::QueuedConnection);
}

void CDialog::SendMessage(const DialogMessage& message)
{
    if (!m_hWnd)
        return;
    const MessageMap& map = GetMessageMap();
    const auto entry = std::find_if(map.begin(), map.end(), [&](const MessageMapEntry& candidate) {
        return candidate.event == message.event
            && (!TakesControlId(message.event) || candidate.id == message.id);
    });
    try {
        if (entry != map.end())
            entry->handler(*this, message);
        else
            DefaultHandling(message);
    } catch (const CException& error) {
        ReportError(error);
    }
}

void CDialog::ReportError(const CException& error)
{
    DesktopServices::instance().messageBox(m_hWnd, error.GetErrorMessage(), std::string(kProgramName),
                                           DesktopServices::Icon::Stop);
}

void CDialog::DefaultHandling(const DialogMessage& message)
{
    if (message.event != DialogEvent::Clicked && message.event != DialogEvent::Command)
        return;
    if (message.id == IDOK)
        OnOK();
    else if (message.id == IDCANCEL)
        OnCancel();
}

bool CDialog::OwnsEventTarget(const QWidget* widget) const
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == m_hWnd)
            return true;
        if (widget->isWindow() && !IsComboBoxPopup(widget))
            return false;
    }
    return false;
}

bool CDialog::FilterEvent(QWidget* target, QEvent* event)
{
    if (!OwnsEventTarget(target))
        return false;
    switch (event->type()) {
    case QEvent::ContextMenu: {
        // The toolkit turns a right-button press into a context-menu event of its own; when
        // PreTranslateMessage took the press, the control must not see the click this way either.
        const bool fromTakenPress = m_swallowContextMenu
            && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse;
        m_swallowContextMenu = false;
        return fromTakenPress;
    }
    case QEvent::ShortcutOverride: {
        // The toolkit announces a key press this way before it looks for shortcuts, and some
        // controls act on the announcement already (an open list closes on Escape); the answer
        // given here holds for the key press that follows.
        const auto* key = static_cast<QKeyEvent*>(event);
        MSG message = KeyMessage(target, WM_KEYDOWN, *key);
        const bool swallowed = PreTranslateMessage(&message);
        m_announcedKey = AnnouncedKey{key->key(), swallowed};
        return swallowed;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (m_announcedKey && m_announcedKey->key == key) {
            const bool swallowed = m_announcedKey->swallowed;
            m_announcedKey.reset();
            return swallowed;
        }
        break;
    }
    case QEvent::MouseButtonPress:
        m_swallowContextMenu = false;
        break;
    default:
        break;
    }
    std::optional<MSG> message = TranslateInputEvent(target, event);
    if (!message)
        return false;
    const bool swallowed = PreTranslateMessage(&*message);
    if (swallowed && message->message == WM_RBUTTONDOWN)
        m_swallowContextMenu = true;
    return swallowed;
}

BOOL CDialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange exchange(this);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    if (CanClose())
        EndDialog(IDCANCEL);
}

bool CDialog::CanClose()
{
    return true;
}

const MessageMap& CDialog::GetMessageMap() const
{
    static const MessageMap kNoEntries;
    return kNoEntries;
}
