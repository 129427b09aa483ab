#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>
#include <QTableWidget>

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
