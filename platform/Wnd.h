#pragma once

#include <QPointer>
#include <QWidget>

#include <string>

// Wraps one widget of a dialog, the way the program's window classes expect a control object to
// behave: it is bound to an existing control by identifier and talks to it in 8-bit text.
class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    // The Qt property that carries a control's numeric identifier.
    static constexpr const char* kControlIdProperty = "controlId";

    QWidget* GetSafeHwnd() const { return m_hWnd; }
    int GetDlgCtrlID() const;

    // Finds the child of `parent` whose identifier is `id`; nullptr when there is none.
    static QWidget* FindDlgItem(const QWidget* parent, int id);

    // Binds this object to the child control `id` of `parent`. False when no such control exists
    // or it is of a kind this class cannot take.
    bool SubclassDlgItem(int id, CWnd* parent);
    bool SubclassDlgItem(int id, QWidget* parent);

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

protected:
    // Called when the object is bound; a class that needs a particular widget type checks it here.
    virtual bool Attach(QWidget* widget);

    QPointer<QWidget> m_hWnd;
};
