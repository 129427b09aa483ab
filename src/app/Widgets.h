#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QStringList>
#include <QTableWidget>

#include <functional>
#include <initializer_list>

// A framed group of radio buttons with one selected item, addressed by index.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);

    int ItemIndex() const;
    void SetItemIndex(int index);

signals:
    // The user clicked an item.
    void Clicked(int index);

private:
    QButtonGroup *buttons_;
};

// Checkable buttons of which at most one is down; clicking the one that is down raises it.
class TToggleGroup : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void Add(QAbstractButton *button);
    // The index of the button that is down, or -1.
    int Down() const;
    void SetDown(int index);

signals:
    void Clicked(int index);

private:
    QList<QAbstractButton *> buttons_;
};

struct TColumn {
    QString Title;
    int Width;
};

// A grid with one title row, whole-row single selection, rows 16 pixels high and read-only cells.
void SetupGrid(QTableWidget *grid, std::initializer_list<TColumn> columns);

// The model entry a grid row shows, kept in the row's first cell. The grid is filled again after
// every change of the entries, so a link never outlives its entry.
template <class T> struct TRowLink {
    static void Set(QTableWidgetItem *item, const T *entry)
    {
        item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(entry)));
    }
    static T *Of(const QTableWidget *grid, int row)
    {
        const QTableWidgetItem *item = row >= 0 ? grid->item(row, 0) : nullptr;
        return item && item->data(Qt::UserRole).isValid()
                   ? reinterpret_cast<T *>(item->data(Qt::UserRole).value<quintptr>())
                   : nullptr;
    }
    // The entry of the selected row, or nothing.
    static T *Selected(const QTableWidget *grid)
    {
        const QModelIndexList rows = grid->selectionModel()->selectedRows();
        return rows.isEmpty() ? nullptr : Of(grid, rows.front().row());
    }
};

// The selection of a grid whose owner may refuse a move to another row: every move, by click, key
// or program, asks MayMove first, and a refused move leaves the current row and the selection
// where they were. The selection is then the one record of what is current.
class TRowGate : public QItemSelectionModel {
public:
    // Whether the selection may move to row; false refuses the move.
    using TMayMove = std::function<bool(int row)>;

    TRowGate(QTableWidget *grid, TMayMove mayMove);

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override;
    void select(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override;
    void select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command) override;

private:
    bool Allowed(int row);

    TMayMove mayMove_;
    int refused_ = -1; // the row of the move refused last, whose selection is refused too
    bool asking_ = false;
};
