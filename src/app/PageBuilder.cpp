#include "PageBuilder.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>

namespace build {

QPushButton *Button(const char *name, const QString &caption, QWidget *parent)
{
    return Make<QPushButton>(name, parent, caption);
}

QComboBox *List(const char *name, QWidget *parent, const QStringList &items)
{
    auto *list = Make<QComboBox>(name, parent);
    list->addItems(items);
    list->setMaxVisibleItems(16);
    return list;
}

QGroupBox *Group(const QString &caption, QWidget *parent)
{
    return new QGroupBox(caption, parent);
}

QFormLayout *Form(QWidget *parent)
{
    auto *form = new QFormLayout(parent);
    form->setHorizontalSpacing(8);
    return form;
}

void HideRow(QFormLayout *form, QWidget *field)
{
    form->setRowVisible(field, false);
}

QStringList Numbers(int from, int to)
{
    QStringList items;
    for (int i = from; i <= to; ++i)
        items << QString::number(i);
    return items;
}

} // namespace build
