#include "views/kit/ConfirmationAlert.h"

#include <QMessageBox>
#include <QPushButton>

namespace ConfirmationAlert {

QMessageBox* open(QWidget* parent, const QString& message, const QString& informativeText,
                  const QString& confirmTitle, std::function<void(bool confirmed)> answered) {
    auto* alert = new QMessageBox(QMessageBox::Warning, QString(), message, QMessageBox::NoButton, parent);
    alert->setInformativeText(informativeText);
    QPushButton* confirming = alert->addButton(confirmTitle, QMessageBox::DestructiveRole);
    alert->addButton(QStringLiteral(u"取消"), QMessageBox::RejectRole);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(alert, &QMessageBox::finished, alert,
                     [alert, confirming, answered = std::move(answered)] {
                         answered(alert->clickedButton() == confirming);
                     });
    alert->open();
    return alert;
}

}  // namespace ConfirmationAlert
