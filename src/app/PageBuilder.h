#pragma once

// What the builders of the main window's pages share: controls made with their object names, and
// the forms they are laid out in.

#include <QString>
#include <QStringList>

#include <utility>

class QComboBox;
class QFormLayout;
class QGroupBox;
class QPushButton;
class QWidget;

namespace build {

template <class T, class... Args> T *Make(const char *name, QWidget *parent, Args &&...args)
{
    auto *control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    return control;
}

QPushButton *Button(const char *name, const QString &caption, QWidget *parent);
QComboBox *List(const char *name, QWidget *parent, const QStringList &items = {});
QGroupBox *Group(const QString &caption, QWidget *parent);
// A form whose labels keep a gap to their fields.
QFormLayout *Form(QWidget *parent);
void HideRow(QFormLayout *form, QWidget *field);
// The numbers from one to the other, as the items of a list.
QStringList Numbers(int from, int to);

} // namespace build
