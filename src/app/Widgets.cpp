#include "Widgets.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

TRadioGroup::TRadioGroup(const QString &caption, const QStringList &items, QWidget *parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        layout->addWidget(button);
    }
    connect(buttons_, &QButtonGroup::idClicked, this, &TRadioGroup::Clicked);
}

int TRadioGroup::ItemIndex() const
{
    return buttons_->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton *button = buttons_->button(index))
        button->setChecked(true);
}

void TToggleGroup::Add(QAbstractButton *button)
{
    const int index = static_cast<int>(buttons_.size());
    button->setCheckable(true);
    buttons_.push_back(button);
    connect(button, &QAbstractButton::clicked, this, [this, index](bool down) {
        if (down)
            SetDown(index);
        emit Clicked(index);
    });
}

int TToggleGroup::Down() const
{
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            return i;
    return -1;
}

void TToggleGroup::SetDown(int index)
{
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setChecked(i == index);
}

void SetupGrid(QTableWidget *grid, std::initializer_list<TColumn> columns)
{
    grid->setColumnCount(static_cast<int>(columns.size()));
    // Every title fits its column on one line: a column too narrow for its title widens, and the
    // widest column gives the room back, so that the grid needs no more width than it was given.
    const QFontMetrics metrics = grid->horizontalHeader()->fontMetrics();
    const auto fits = [&](const QString &title) { return metrics.horizontalAdvance(title) + 12; };
    std::vector<int> widths;
    int grown = 0;
    for (const TColumn &c : columns) {
        widths.push_back(std::max(c.Width, fits(c.Title)));
        grown += widths.back() - c.Width;
    }
    const auto widest = static_cast<std::size_t>(std::max_element(widths.begin(), widths.end()) - widths.begin());
    widths[widest] = std::max(widths[widest] - grown, fits(std::data(columns)[widest].Title));
    int column = 0;
    for (const TColumn &c : columns) {
        grid->setHorizontalHeaderItem(column, new QTableWidgetItem(c.Title));
        grid->setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
        ++column;
    }
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(16);
    grid->verticalHeader()->setDefaultSectionSize(16);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setStretchLastSection(false);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setWordWrap(false);
}

TRowGate::TRowGate(QTableWidget *grid, TMayMove mayMove)
    : QItemSelectionModel(grid->model(), grid), mayMove_(std::move(mayMove))
{
    grid->setSelectionModel(this);
}

bool TRowGate::Allowed(int row)
{
    if (row < 0 || row == currentIndex().row() || asking_) {
        refused_ = -1;
        return true;
    }
    asking_ = true;
    const bool allowed = mayMove_(row);
    asking_ = false;
    refused_ = allowed ? -1 : row;
    return allowed;
}

void TRowGate::setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command)
{
    if (Allowed(index.row()))
        QItemSelectionModel::setCurrentIndex(index, command);
}

void TRowGate::select(const QModelIndex &index, QItemSelectionModel::SelectionFlags command)
{
    select(QItemSelection(index, index), command);
}

void TRowGate::select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command)
{
    // A click selects after it made its row current: when that move was refused, so is this.
    const auto refused = [this](const QItemSelectionRange &range) {
        return range.top() <= refused_ && refused_ <= range.bottom();
    };
    if (refused_ >= 0 && std::any_of(selection.begin(), selection.end(), refused))
        return;
    // A click beside the rows selects nothing: the selection stays where it is.
    if (selection.isEmpty() && !(command & QItemSelectionModel::Deselect) && model()->rowCount() > 0 && hasSelection())
        return;
    QItemSelectionModel::select(selection, command);
}
