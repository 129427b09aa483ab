#include "GetColName.h"

#include "palettes/QtText.h"
#include "platform/UserDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TfrmGetColName::TfrmGetColName(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      eCustColName(new QLineEdit(this)), Button1(new QPushButton(tr("OK"), this)),
      Button2(new QPushButton(tr("Cancel"), this))
{
    setObjectName("frmGetColName");
    setWindowTitle(tr("Get palette name"));
    setFixedSize(320, 121);

    auto *label = new QLabel(tr("Name:"), this);
    label->setGeometry(8, 6, 305, 17);
    label->setBuddy(eCustColName);
    eCustColName->setObjectName("eCustColName");
    eCustColName->setGeometry(8, 24, 305, 21);
    Button1->setObjectName("Button1");
    Button1->setGeometry(8, 64, 100, 49);
    Button1->setDefault(true);
    Button2->setObjectName("Button2");
    Button2->setGeometry(216, 64, 100, 49);

    // Escape and the window frame reach reject() through QDialog itself.
    connect(Button1, &QPushButton::clicked, this, &TfrmGetColName::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::string> TfrmGetColName::Execute(const std::string &title, const std::string &proposed)
{
    setWindowTitle(ToQt(title));
    eCustColName->setText(ToQt(proposed));
    Button1->setText(tr("OK"));
    if (exec() != Accepted)
        return std::nullopt;
    return FromQt(eCustColName->text());
}

void TfrmGetColName::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The proposed name is selected, so typing replaces it.
    eCustColName->setFocus();
    eCustColName->selectAll();
}

void TfrmGetColName::Button1Click()
{
    // Blanks count as a name; only nothing at all is refused.
    if (eCustColName->text().isEmpty()) {
        Dialogs().ShowMessage(TMessageKind::Warning, "The name field cannot be blank!");
        eCustColName->setFocus();
        return;
    }
    accept();
}
