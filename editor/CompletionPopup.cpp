#include "editor/CompletionPopup.h"

#include "editor/AccessibleEditor.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kDetailRole = Qt::UserRole;
constexpr int kMaxRows = 12;
constexpr int kMaxWidth = 560;
constexpr int kMinWidth = 180;
constexpr int kGap = 16;  // between a name and its kind
// Measuring every candidate of a long list would cost more than the list is worth; the widest
// of the first ones sets the width, the rest are elided.
constexpr int kMeasuredRows = 64;

QString detailLine(const Candidate& candidate)
{
    return QString::fromStdString(candidateDetail(candidate));
}

} // namespace

class CandidateModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void reset(std::vector<Candidate> candidates)
    {
        beginResetModel();
        m_candidates = std::move(candidates);
        endResetModel();
    }

    const std::vector<Candidate>& candidates() const { return m_candidates; }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(m_candidates.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || std::size_t(index.row()) >= m_candidates.size())
            return {};
        const Candidate& candidate = m_candidates[std::size_t(index.row())];
        switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(candidate.text);
        case kDetailRole: return detailLine(candidate);
        case Qt::FontRole:
            if (!candidate.insertable()) {
                QFont bold = QApplication::font();
                bold.setBold(true);
                return bold;
            }
            return {};
        default: return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid() || std::size_t(index.row()) >= m_candidates.size())
            return Qt::NoItemFlags;
        // A level heading is shown for what follows it, never chosen.
        return m_candidates[std::size_t(index.row())].insertable()
                   ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                   : Qt::ItemNeverHasChildren;
    }

private:
    std::vector<Candidate> m_candidates;
};

namespace {

// The name as text is shown, its kind and parameters after it in grey.
class CandidateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem look(option);
        initStyleOption(&look, index);
        const QString name = look.text;
        look.text.clear();
        const QWidget* widget = look.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &look, painter, widget);

        const QRect area = look.rect.adjusted(4, 0, -4, 0);
        const bool selected = look.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = (look.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setFont(look.font);
        painter->setPen(look.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, name);
        const QString detail = index.data(kDetailRole).toString();
        if (!detail.isEmpty()) {
            const int nameWidth = look.fontMetrics.horizontalAdvance(name) + kGap;
            const QRect detailArea = area.adjusted(nameWidth, 0, 0, 0);
            painter->setPen(selected ? look.palette.color(group, QPalette::HighlightedText)
                                     : look.palette.color(QPalette::Disabled, QPalette::Text));
            painter->drawText(detailArea, Qt::AlignLeft | Qt::AlignVCenter,
                              look.fontMetrics.elidedText(detail, Qt::ElideRight, detailArea.width()));
        }
        painter->restore();
    }
};

} // namespace

CompletionPopup::CompletionPopup(QWidget* editor)
    : QListView(editor), m_model(new CandidateModel(this))
{
    setObjectName(QStringLiteral("completionList"));
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setModel(m_model);
    setItemDelegate(new CandidateDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::Box);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (!(m_model->flags(index) & Qt::ItemIsEnabled))
            return;
        setCurrentIndex(index);
        emit picked();
    });
}

void CompletionPopup::setCandidates(std::vector<Candidate> candidates)
{
    m_model->reset(std::move(candidates));
    if (const std::optional<std::size_t> first = insertableRow(m_model->candidates(), 0, 0))
        setCurrentIndex(m_model->index(int(*first)));
    scrollToTop();
    // A list that narrows as the name is typed shrinks with it.
    if (isVisible())
        showAt(m_below, m_above);
}

bool CompletionPopup::offersAny() const
{
    return insertableRow(m_model->candidates(), 0, 0).has_value();
}

const std::vector<Candidate>& CompletionPopup::candidates() const
{
    return m_model->candidates();
}

int CompletionPopup::pageRows() const
{
    const int row = std::max(1, sizeHintForRow(0));
    return std::max(1, viewport()->height() / row - 1);
}

void CompletionPopup::moveCurrent(int rows)
{
    const std::size_t from = currentIndex().isValid() ? std::size_t(currentIndex().row()) : 0;
    if (const std::optional<std::size_t> to = insertableRow(m_model->candidates(), from, rows)) {
        setCurrentIndex(m_model->index(int(*to)));
        scrollTo(currentIndex());
    }
}

const Candidate* CompletionPopup::chosen() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || std::size_t(current.row()) >= m_model->candidates().size())
        return nullptr;
    const Candidate& candidate = m_model->candidates()[std::size_t(current.row())];
    return candidate.insertable() ? &candidate : nullptr;
}

void CompletionPopup::showAt(QPoint below, int above)
{
    m_below = below;
    m_above = above;
    const auto& all = m_model->candidates();
    const QFontMetrics metrics(font());
    int width = kMinWidth;
    for (std::size_t row = 0; row < all.size() && row < std::size_t(kMeasuredRows); ++row) {
        const QString detail = detailLine(all[row]);
        const int wanted = metrics.horizontalAdvance(QString::fromStdString(all[row].text)) +
                           (detail.isEmpty() ? 0 : kGap + metrics.horizontalAdvance(detail)) + 12;
        width = std::max(width, wanted);
    }
    const int rowHeight = std::max(1, sizeHintForRow(0));
    const int rows = std::min(int(all.size()), kMaxRows);
    const int frame = 2 * frameWidth();
    const bool scrolls = int(all.size()) > kMaxRows;
    width = std::min(kMaxWidth, width + frame + (scrolls ? verticalScrollBar()->sizeHint().width() : 0));
    const int height = rows * rowHeight + frame;

    QPoint at = below;
    if (const QScreen* screen = QGuiApplication::screenAt(below)) {
        const QRect room = screen->availableGeometry();
        if (at.y() + height > room.bottom() && above - height >= room.top())
            at.setY(above - height);
        at.setX(std::max(room.left(), std::min(at.x(), room.right() - width)));
    }
    setGeometry(QRect(at, QSize(width, height)));
    if (!isVisible()) {
        show();
        announceCurrent();
    }
}

void CompletionPopup::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QListView::currentChanged(current, previous);
    announceCurrent();
}

void CompletionPopup::announceCurrent()
{
    if (!AccessibleEditor::isRead(parentWidget()) || !isVisible() || !currentIndex().isValid())
        return;
    // Named after its current candidate, the list is read as the candidate it offers.
    setAccessibleName(currentIndex().data().toString());
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(currentIndex().row());
    AccessibleEditor::tell(event);
}
