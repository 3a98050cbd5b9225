#include "views/kit/SaveFailureAlert.h"

#include <QMessageBox>
#include <QWidget>

namespace SaveFailureAlert {

void show(QWidget* page, const QString& reason) {
    auto* alert =
        new QMessageBox(QMessageBox::Warning, QStringLiteral(u"提示"), QStringLiteral(u"保存失败：") + reason,
                        QMessageBox::NoButton, page->window());
    alert->addButton(QStringLiteral(u"好的"), QMessageBox::AcceptRole);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}

}  // namespace SaveFailureAlert
