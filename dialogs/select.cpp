// SPDX-License-Identifier: GPL-3.0-or-later
#include "select.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

#include "messages.h"
#include "platform/fonts.h"

namespace mirado {

namespace {

// Outside sizes: the window manager's frame included.
constexpr QSize kDesignSize{472, 338};
constexpr QSize kMinimumSize{367, 100};
constexpr QPoint kDesignPosition{241, 209};
constexpr int kPanelHeight = 36;
constexpr int kButtonTop = 8;
constexpr int kButtonHeight = 25;
constexpr int kItemHeight = 16;

struct ButtonPlace
{
    int left;
    int width;
};
constexpr ButtonPlace kSelectAllPlace{109, 73};
constexpr ButtonPlace kClearPlace{189, 73};
constexpr ButtonPlace kOKPlace{305, 73};
constexpr ButtonPlace kCancelPlace{385, 75};

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// List rows kItemHeight pixels apart, whatever the font's own line height.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
    }
};

} // namespace

int CheckListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count_;
}

QVariant CheckListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole)
        return text_ ? text_(index.row()) : QString();
    if (role == Qt::CheckStateRole)
        return checked_[row] ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool CheckListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rowCount())
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

void CheckListModel::clear()
{
    setItems(0, {});
}

void CheckListModel::setItems(int count, ItemText text)
{
    beginResetModel();
    count_ = std::max(count, 0);
    text_ = std::move(text);
    checked_.assign(static_cast<std::size_t>(count_), false);
    checked_.shrink_to_fit();
    endResetModel();
}

void CheckListModel::setChecked(int row, bool checked)
{
    checked_[static_cast<std::size_t>(row)] = checked;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::CheckStateRole});
}

void CheckListModel::setAllChecked(bool checked)
{
    if (count_ == 0)
        return;
    checked_.assign(checked_.size(), checked);
    emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

TfrmSelect::TfrmSelect(QWidget *parent, std::function<void()> plot)
    : PlainDialog(parent), model_(new CheckListModel(this)), plot_(std::move(plot))
{
    setObjectName(QStringLiteral("frmSelect"));
    setWindowTitle(QStringLiteral("天体の選択"));
    setModal(true);
    setFont(PixelFont(kMsPGothic, 12));
    // Until the frame is known the inside takes the outside sizes.
    resize(kDesignSize);
    setMinimumSize(kMinimumSize);
    move(kDesignPosition);

    // The check list fills the dialog above the button panel.
    clbObject_ = new QListView(this);
    clbObject_->setObjectName(QStringLiteral("clbObject"));
    clbObject_->setModel(model_);
    clbObject_->setUniformItemSizes(true);
    clbObject_->setSelectionMode(QAbstractItemView::SingleSelection);
    clbObject_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    clbObject_->setFont(PixelFont(kMsGothic, kItemHeight));
    clbObject_->setItemDelegate(new FixedRowDelegate(clbObject_));
    clbObject_->viewport()->installEventFilter(this);

    pnlOK_ = new QWidget(this);
    pnlOK_->setObjectName(QStringLiteral("pnlOK"));
    pnlOK_->setFixedHeight(kPanelHeight);
    pnlOK_->installEventFilter(this);
    btnSelectAll_ = MakeButton(pnlOK_, "btnSelectAll", QStringLiteral("全て選択"));
    btnSelectAll_->setFont(PixelFont(kMsPGothic, 15));
    btnClear_ = MakeButton(pnlOK_, "btnClear", QStringLiteral("ｸﾘｱｰ"));
    btnOK_ = MakeButton(pnlOK_, "btnOK", QStringLiteral("OK"));
    btnCancel_ = MakeButton(pnlOK_, "btnCancel", QStringLiteral("ｷｬﾝｾﾙ"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(clbObject_);
    layout->addWidget(pnlOK_);

    setTabOrder(clbObject_, btnOK_);
    setTabOrder(btnOK_, btnClear_);
    setTabOrder(btnClear_, btnSelectAll_);
    setTabOrder(btnSelectAll_, btnCancel_);

    connect(btnOK_, &QPushButton::clicked, this, &TfrmSelect::btnOKClick);
    connect(btnClear_, &QPushButton::clicked, this, &TfrmSelect::btnClearClick);
    connect(btnSelectAll_, &QPushButton::clicked, this, &TfrmSelect::btnSelectAllClick);
    connect(btnCancel_, &QPushButton::clicked, this, &TfrmSelect::btnCancelClick);
}

void TfrmSelect::clearItems()
{
    model_->clear();
}

void TfrmSelect::setItems(int count, CheckListModel::ItemText text)
{
    model_->setItems(count, std::move(text));
}

void TfrmSelect::btnOKClick()
{
    // The dialog stays on screen while the plot is drawn and closes after it.
    RunGuarded(this, [this] {
        if (plot_)
            plot_();
    });
    reject();
}

void TfrmSelect::btnClearClick()
{
    model_->setAllChecked(false);
}

void TfrmSelect::btnSelectAllClick()
{
    model_->setAllChecked(true);
}

void TfrmSelect::btnCancelClick()
{
    reject();
}

void TfrmSelect::clbObjectDblClick()
{
    // Without a current item (an empty list, nothing chosen yet) there is
    // nothing to invert.
    const QModelIndex current = clbObject_->currentIndex();
    if (!current.isValid())
        return;
    model_->setChecked(current.row(), !model_->isChecked(current.row()));
}

bool TfrmSelect::eventFilter(QObject *watched, QEvent *event)
{
    // A press anywhere on an item, its check box included, makes it current,
    // so Space and a double-click act on the item the user touched.
    if (watched == clbObject_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        const QModelIndex at = clbObject_->indexAt(press->position().toPoint());
        if (press->button() == Qt::LeftButton && at.isValid())
            clbObject_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    }
    if (watched == clbObject_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        clbObjectDblClick();
        return true;
    }
    if (watched == pnlOK_ && event->type() == QEvent::Resize)
        placeButtons();
    return PlainDialog::eventFilter(watched, event);
}

bool TfrmSelect::event(QEvent *event)
{
    const bool handled = PlainDialog::event(event);
    // The window manager gives its frame once the dialog is on screen, and
    // may change it when it moves or resizes it.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        fitFrame();
        break;
    default:
        break;
    }
    return handled;
}

QSize TfrmSelect::measuredFrame() const
{
    return frameGeometry().size() - size();
}

void TfrmSelect::fitFrame()
{
    // A maximized or full-screen dialog has no outside size of its own.
    if (!isVisible() || isMaximized() || isFullScreen())
        return;
    const QSize frame = measuredFrame();
    if (frame == frame_)
        return;
    // The outside keeps its size: the inside gives up what the frame takes.
    const QSize change = frame - frame_;
    frame_ = frame;
    setMinimumSize((kMinimumSize - frame).expandedTo(QSize(0, 0)));
    resize(size() - change);
    placeButtons();
}

void TfrmSelect::placeButtons()
{
    // At the design size the buttons stand at their design places; they keep
    // their distance from the right edge.
    const int shift = pnlOK_->width() - (kDesignSize.width() - frame_.width());
    for (const auto &[button, place] :
         {std::pair{btnSelectAll_, kSelectAllPlace}, std::pair{btnClear_, kClearPlace},
          std::pair{btnOK_, kOKPlace}, std::pair{btnCancel_, kCancelPlace}})
        button->setGeometry(place.left + shift, kButtonTop, place.width, kButtonHeight);
}

} // namespace mirado
