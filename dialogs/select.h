// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plaindialog.h"
#include <QAbstractListModel>
#include <functional>
#include <vector>

class QListView;
class QPushButton;
class QWidget;

namespace mirado {

// The catalogue lines as check-list items. A plain model behind a list view
// keeps catalogues of millions of lines quick to fill and to scroll: it holds
// no text of its own but asks for an item's text when the view shows it, and
// keeps one bit per item for its check mark.
class CheckListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The text of item `row`, asked for when it is shown.
    using ItemText = std::function<QString(int row)>;

    void clear();
    // Replaces the items by `count` unchecked ones.
    void setItems(int count, ItemText text);
    bool isChecked(int row) const { return checked_[static_cast<std::size_t>(row)]; }
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);

private:
    int count_ = 0;
    ItemText text_;
    std::vector<bool> checked_;
};

// The object selection dialog: one check-list item per catalogue line; the
// check marks are the selection the plot draws. Created once and hidden
// between showings, so the marks stay until another catalogue is loaded.
// Its sizes (472 x 338 at design, at least 367 x 100) are outside sizes: the
// frame the window manager draws is measured once the dialog is shown, and
// the inside gets what the frame leaves.
class TfrmSelect : public PlainDialog
{
    Q_OBJECT

public:
    // `plot` is the main window's plot command, run by OK.
    explicit TfrmSelect(QWidget *parent, std::function<void()> plot);

    // The list as the main window fills it.
    void clearItems();
    void setItems(int count, CheckListModel::ItemText text);
    int itemCount() const { return model_->rowCount(); }
    bool isChecked(int index) const { return model_->isChecked(index); }
    void setChecked(int index, bool checked) { model_->setChecked(index, checked); }

    void btnOKClick();
    void btnClearClick();
    void btnSelectAllClick();
    void btnCancelClick();
    void clbObjectDblClick();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window manager's frame around the dialog: the outside size less
    // the inside; empty where there is none.
    QSize measuredFrame() const;
    // Gives the inside the sizes the frame leaves of the outside ones.
    void fitFrame();
    void placeButtons();

    CheckListModel *model_;
    QListView *clbObject_;
    QWidget *pnlOK_;
    QPushButton *btnSelectAll_;
    QPushButton *btnClear_;
    QPushButton *btnOK_;
    QPushButton *btnCancel_;
    std::function<void()> plot_;
    // The frame the inside sizes allow for so far.
    QSize frame_{0, 0};
};

} // namespace mirado
