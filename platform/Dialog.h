#pragma once

#include "platform/DialogTemplate.h"
#include "platform/DialogUnits.h"
#include "platform/MessageMap.h"
#include "platform/Messages.h"
#include "platform/WinTypes.h"
#include "platform/Wnd.h"

#include <QIcon>

#include <map>
#include <optional>
#include <string>
#include <vector>

class CDialog;
class CException;
class DialogWindow;

// What DoDataExchange works on: the dialog whose controls it binds.
class CDataExchange {
public:
    explicit CDataExchange(CDialog* dialog) : m_pDlgWnd(dialog) {}

    CDialog* m_pDlgWnd;
};

// Binds `control` to the dialog's control `id` the first time the exchange runs.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

// A dialog window built from a template. Events reach it through its message map; every input
// event bound for the dialog, one of its controls or an open drop-down list of one of them is
// first offered to PreTranslateMessage. An error a handler raises as CException is reported in a
// message box with a stop icon, and the dialog goes on.
class CDialog : public CWnd {
public:
    explicit CDialog(const DialogTemplate& dialogTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window, initialises it, runs it until it ends and destroys it. Returns the
    // value given to EndDialog, or -1 when the window could not be created.
    INT_PTR DoModal();

    // Creates and initialises the window without showing it or running a loop of its own; the
    // caller shows it with GetSafeHwnd()->show().
    BOOL Create();
    void DestroyWindow();
    void EndDialog(int result);

    // Valid once the window exists.
    const DialogUnits& GetDialogUnits() const { return *m_units; }

    QWidget* GetDlgItem(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;

    // Starts, or restarts, timer `id`; its ticks arrive as DialogEvent::Timer.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs);
    // The window has one icon for all sizes.
    void SetIcon(const QIcon& icon, BOOL bigIcon);

    // Routes an event through the message map now, or after the current event is done.
    void SendMessage(const DialogMessage& message);
    void PostMessage(const DialogMessage& message);

    // Return TRUE to swallow the event.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    // Runs DoDataExchange. Return TRUE to give the focus to the first control with a tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);

    // The OK and Cancel commands; both end the dialog. Cancel also comes from the close box,
    // the window manager's Close and Escape when nothing swallowed it.
    virtual void OnOK();
    virtual void OnCancel();
    // Consulted before the dialog ends on a Cancel; false keeps it open.
    virtual bool CanClose();

    virtual const MessageMap& GetMessageMap() const;

    // Reports `error` in a message box with a stop icon and the program's name as caption.
    void ReportError(const CException& error);

private:
    friend class DialogWindow;

    DialogWindow* Window() const;
    void CreateControls();
    void FocusFirstTabStop();
    void DefaultHandling(const DialogMessage& message);
    bool OwnsEventTarget(const QWidget* widget) const;
    bool FilterEvent(QWidget* target, QEvent* event);

    const DialogTemplate& m_template;
    CWnd* m_pParentWnd;
    std::optional<DialogUnits> m_units;
    std::vector<QWidget*> m_controls;       // in creation order
    std::map<int, UINT_PTR> m_timers;       // Qt's timer id -> the dialog's timer id
    bool m_swallowContextMenu = false;

    struct AnnouncedKey {
        int key;
        bool swallowed;
    };
    std::optional<AnnouncedKey> m_announcedKey;
};
